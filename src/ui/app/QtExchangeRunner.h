#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

#include "core/ExchangeRunner.h"
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
// raises takes input as usual.
class QtExchangeRunner final : public QObject, public ExchangeRunner {
  Q_OBJECT

 public:
  QtExchangeRunner(QtExecutor& executor, BusyFace& face) : executor_(executor), face_(face) {}

  void Run(std::string_view what, const std::function<void()>& exchange) override;
  bool Running() const { return running_; }
  // How many input events were dropped while exchanges ran.
  int DroppedInput() const { return droppedInput_; }
  // How many tasks handed over to the window's thread wait for the exchange to end; the status
  // listener hands over one at a time, however much the device reports meanwhile.
  std::size_t HeldTasks() const { return executor_.Waiting(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtExecutor& executor_;
  BusyFace& face_;
  bool running_ = false;
  int droppedInput_ = 0;
};

}  // namespace quintara::ui
