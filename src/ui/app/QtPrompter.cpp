#include "ui/app/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QString>
#include <QThread>

namespace quintara::ui {
namespace {

// Runs the box on the GUI thread, blocking the calling worker until it is answered.
template <typename Box>
auto OnGuiThread(Box box) {
  if (QThread::currentThread() == qApp->thread()) {
    return box();
  }
  decltype(box()) answer{};
  QMetaObject::invokeMethod(
      qApp, [&] { answer = box(); }, Qt::BlockingQueuedConnection);
  return answer;
}

QString Text(std::string_view message) {
  return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}

// A box raised while an exchange shows the busy cursor takes its answer under the plain arrow.
class ArrowOverBox {
 public:
  ArrowOverBox() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowOverBox() { QApplication::restoreOverrideCursor(); }
  ArrowOverBox(const ArrowOverBox&) = delete;
  ArrowOverBox& operator=(const ArrowOverBox&) = delete;
};

}  // namespace

void QtPrompter::ShowError(std::string_view message) {
  const QString text = Text(message);
  OnGuiThread([&text] {
    const ArrowOverBox arrow;
    return QMessageBox::critical(nullptr, Text(kErrorCaption), text, QMessageBox::Ok);
  });
}

bool QtPrompter::Confirm(std::string_view message) {
  const QString text = Text(message);
  return OnGuiThread([&text] {
           const ArrowOverBox arrow;
           return QMessageBox::warning(nullptr, Text(kWarningCaption), text,
                                       QMessageBox::Ok | QMessageBox::Cancel);
         }) == QMessageBox::Ok;
}

void QtPrompter::ShowInfo(std::string_view message) {
  const QString text = Text(message);
  OnGuiThread([&text] {
    const ArrowOverBox arrow;
    return QMessageBox::information(nullptr, Text(kInfoCaption), text, QMessageBox::Ok);
  });
}

}  // namespace quintara::ui
