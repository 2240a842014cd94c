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
// raises takes input as usual. The exchanges go to the core's runner and their continuations
// come back through the executor; the window's thread never waits for one.
class QtExchangeRunner final : public QObject, public ExchangeRunner, private ExchangeObserver {
  Q_OBJECT

 public:
  QtExchangeRunner(QtExecutor& executor, BusyFace& face) : executor_(executor), face_(face) {}
  ~QtExchangeRunner() override;
  QtExchangeRunner(const QtExchangeRunner&) = delete;
  QtExchangeRunner& operator=(const QtExchangeRunner&) = delete;

  void Start(std::string_view what, WireWork work) override;
  bool Running() const { return busy_; }
  // How many input events were dropped while exchanges ran.
  int DroppedInput() const { return droppedInput_; }
  // How many tasks handed over to the window's thread wait to run; the status listener hands
  // over one at a time, however much the device reports meanwhile.
  std::size_t HeldTasks() const { return executor_.Waiting(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Each exchange's text as it begins; the window stays busy until the last is applied.
  void ExchangesBusy(std::string_view what) override;
  void ExchangesIdle() override;

  QtExecutor& executor_;
  BusyFace& face_;
  bool busy_ = false;
  int droppedInput_ = 0;
  ThreadedRunner threaded_{executor_, *this};
};

}  // namespace quintara::ui
