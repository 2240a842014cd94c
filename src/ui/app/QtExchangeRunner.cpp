#include "ui/app/QtExchangeRunner.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <utility>

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

void QtExchangeRunner::ExchangesBusy(std::string_view what) {
  if (!busy_) {
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
  }
  face_.ShowBusy(QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())));
}

void QtExchangeRunner::ExchangesIdle() {
  busy_ = false;
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
  face_.ShowIdle();
}

QtExchangeRunner::~QtExchangeRunner() {
  if (busy_) {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
  }
}

bool QtExchangeRunner::eventFilter(QObject* watched, QEvent* event) {
  if (busy_ && IsOperatorInput(event->type()) && watched->isWidgetType() &&
      !InModalBox(watched)) {
    ++droppedInput_;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quintara::ui
