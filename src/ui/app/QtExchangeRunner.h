#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

#include "core/ExchangeRunner.h"
#include "core/session/ThreadedRunner.h"
#include "ui/app/QtExecutor.h"

namespace quintara::ui {

// How a window shows that an exchange runs: its controls look disabled, the status line says
// what is going on.
class BusyFace {
 public:
  virtual ~BusyFace() = default;
  virtual void ShowBusy(const QString& what) = 0;
  virtual void ShowIdle() = 0;
};

// Runs each exchange on a worker thread while the window's thread goes on painting and handing
// over what the worker shows. The operator's input meanwhile is dropped, not queued: a click
// made during a search never acts on what the search then selected. A message box the exchange
// raises takes input as usual. Started exchanges go to the core's runner and come back through
// the executor; Run still waits for its exchange in a loop of its own.
class QtExchangeRunner final : public QObject, public ExchangeRunner, private ExchangeObserver {
  Q_OBJECT

 public:
  QtExchangeRunner(QtExecutor& executor, BusyFace& face) : executor_(executor), face_(face) {}

  void Start(std::string_view what, WireWork work) override;
  void Run(std::string_view what, const std::function<void()>& exchange) override;
  bool Running() const { return busyDepth_ > 0; }
  // How many input events were dropped while exchanges ran.
  int DroppedInput() const { return droppedInput_; }
  // How many tasks handed over to the window's thread wait for the exchange to end; the status
  // listener hands over one at a time, however much the device reports meanwhile.
  std::size_t HeldTasks() const { return executor_.Waiting(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ExchangesBusy(std::string_view what) override { BeginBusy(what); }
  void ExchangesIdle() override { EndBusy(); }
  void BeginBusy(std::string_view what);
  void EndBusy();

  QtExecutor& executor_;
  BusyFace& face_;
  bool running_ = false;  // Run is waiting for its exchange
  int busyDepth_ = 0;     // Run and the started exchanges, each counted once
  int droppedInput_ = 0;
  ThreadedRunner threaded_{executor_, *this};
};

}  // namespace quintara::ui
