#include "ui/app/QtExchangeRunner.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>
#include <thread>

namespace quintara::ui {
namespace {

bool IsOperatorInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// A message box raised during the exchange belongs to it and takes its answer as usual.
bool InModalBox(QObject* watched) {
  const QWidget* modal = QApplication::activeModalWidget();
  const auto* widget = qobject_cast<QWidget*>(watched);
  return modal != nullptr && widget != nullptr && widget->window() == modal;
}

}  // namespace

void QtExchangeRunner::Start(std::string_view what, WireWork work) {
  threaded_.Start(what, std::move(work));
}

void QtExchangeRunner::Run(std::string_view what, const std::function<void()>& exchange) {
  if (running_) {
    // Asked for by something handed over meanwhile: it runs in turn, on this thread, so that
    // exchanges never overlap.
    exchange();
    return;
  }
  running_ = true;
  executor_.Hold();
  BeginBusy(what);

  QEventLoop loop;
  std::thread worker([&exchange, &loop] {
    exchange();
    // Queued after everything the worker handed over, so all of it is shown before the end.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();

  EndBusy();
  running_ = false;
  executor_.Release();
}

void QtExchangeRunner::BeginBusy(std::string_view what) {
  if (busyDepth_++ > 0) {
    return;
  }
  face_.ShowBusy(QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  qApp->installEventFilter(this);
}

void QtExchangeRunner::EndBusy() {
  if (--busyDepth_ > 0) {
    return;
  }
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
  face_.ShowIdle();
}

bool QtExchangeRunner::eventFilter(QObject* watched, QEvent* event) {
  if (busyDepth_ > 0 && IsOperatorInput(event->type()) && watched->isWidgetType() &&
      !InModalBox(watched)) {
    ++droppedInput_;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quintara::ui
