#include "ui/matrix/MatrixPanel.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>

#include "ui/controls/ShadeButton.h"
#include "ui/form/PanelInput.h"
#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

MatrixPanel::MatrixPanel(DeviceSession& session, const MatrixPanelLayout& layout,
                         ControlTable table, const DpiScale& scale, QWidget* parent)
    : QWidget(parent),
      layout_(layout),
      controls_(BuildControls(table, Colours(), *this, scale)),
      brightness_(controls_.Get<QSlider>(layout.brightness)),
      brightnessText_(controls_.Get<QLineEdit>(layout.brightnessText)),
      presenter_(session, layout.panelType, *this) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  brightness_->setRange(0, kMaxBrightness);
  brightness_->setTickInterval(1);
  brightness_->setTickPosition(QSlider::TicksBelow);
  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(kRefreshLitMs);
  FillLists();
  ConnectControls();
}

ControlColours MatrixPanel::Colours() {
  return {{skin::ListBlue, skin::ControlGround}, {skin::Green, skin::ControlGround}};
}

void MatrixPanel::Open() {
  // The presenter learns on opening whether the switcher takes a format.
  presenter_.Open();
  if (layout_.outputFormat != 0) {
    const bool takesFormat = presenter_.OutputFormatEnabled();
    controls_.Find(layout_.outputFormat)->setEnabled(takesFormat);
    controls_.Find(layout_.outputFormatLabel)->setEnabled(takesFormat);
  }
}

ShadeButton* MatrixPanel::Button(int id) const {
  return controls_.Get<ShadeButton>(id);
}

QComboBox* MatrixPanel::List(int id) const {
  return controls_.Get<QComboBox>(id);
}

void MatrixPanel::FillLists() {
  for (const std::string_view text : kBacklightTimeTexts) {
    List(layout_.backlightTime)->addItem(Text(text));
  }
  if (layout_.outputFormat != 0) {
    for (const MatrixFormat& format : MatrixFormatTable) {
      List(layout_.outputFormat)->addItem(Text(format.text));
    }
  }
}

void MatrixPanel::ConnectControls() {
  for (int n = 1; n <= presenter_.Channels(); ++n) {
    controls_.OnClicked(layout_.input(n), this, [this, n] { presenter_.SelectInput(n); });
    controls_.OnClicked(layout_.output(n), this, [this, n] { presenter_.ToggleOutput(n); });
  }
  controls_.OnClicked(layout_.apply, this, [this] { presenter_.Apply(); });
  controls_.OnClicked(layout_.oneToAll, this, [this] { presenter_.OneToAll(); });
  controls_.OnClicked(layout_.oneToOne, this, [this] { presenter_.OneToOne(); });
  controls_.OnClicked(layout_.refresh, this, [this] {
    // The light of an earlier refresh must not go out while this one waits for the switcher.
    const bool lit = refreshTimer_.isActive();
    refreshTimer_.stop();
    if (!presenter_.Refresh([this] { refreshTimer_.start(); }) && lit) {
      refreshTimer_.start();
    }
  });
  connect(&refreshTimer_, &QTimer::timeout, this, [this] { presenter_.RefreshEnded(); });
  connect(List(layout_.backlightTime), &QComboBox::activated, this,
          [this](int item) { presenter_.ChooseBacklightTime(item); });
  if (layout_.outputFormat != 0) {
    connect(List(layout_.outputFormat), &QComboBox::activated, this,
            [this](int item) { presenter_.ChooseOutputFormat(item); });
  }
  connect(brightness_, &QSlider::valueChanged, this, [this](int position) {
    ShowBrightnessText(position);
    presenter_.MoveBrightness(position);
  });
  // Sent once the mouse lets go, not while it drags nor when the keyboard moves the bar.
  brightness_->installEventFilter(this);
}

bool MatrixPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == brightness_ && event->type() == QEvent::MouseButtonRelease) {
    presenter_.ReleaseBrightness(brightness_->value());
  }
  return QWidget::eventFilter(watched, event);
}

void MatrixPanel::ShowMatrix() {
  for (int n = 1; n <= presenter_.Channels(); ++n) {
    Button(layout_.input(n))->ShowActive(presenter_.InputLit(n));
    Button(layout_.output(n))->ShowActive(presenter_.OutputLit(n));
    ShowStatus(n);
  }
  const MatrixAction action = presenter_.ActiveAction();
  Button(layout_.apply)->ShowActive(action == MatrixAction::Apply);
  Button(layout_.oneToAll)->ShowActive(action == MatrixAction::OneToAll);
  Button(layout_.oneToOne)->ShowActive(action == MatrixAction::OneToOne);
  Button(layout_.refresh)->ShowActive(presenter_.RefreshLit());
  SelectQuietly(List(layout_.backlightTime), presenter_.BacklightTimeItem());
  if (layout_.outputFormat != 0) {
    SelectQuietly(List(layout_.outputFormat), presenter_.OutputFormatItem());
  }
  brightness_->setValue(presenter_.Brightness());
  // setValue is silent when the bar already stands there; the text follows all the same.
  ShowBrightnessText(brightness_->value());
}

void MatrixPanel::ShowBrightnessText(int position) {
  brightnessText_->setText(QStringLiteral("%1%").arg(position));
}

void MatrixPanel::ShowStatus(int output) {
  const std::uint8_t input = presenter_.StatusShown(output);
  std::uint8_t& drawn = statusDrawn_[static_cast<std::size_t>(output - 1)];
  if (input == drawn) {
    return;
  }
  drawn = input;
  ShadeButton* button = Button(layout_.status(output));
  button->SetBitmapIds(layout_.number(output), input == 0 ? 0 : layout_.numberLit(input));
  button->ShowActive(input != 0);
}

void MatrixPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), Skin::Bitmap(layout_.background));
}

void MatrixPanel::keyPressEvent(QKeyEvent* event) {
  if (!SwallowEnterAndEscape(event)) {
    QWidget::keyPressEvent(event);
  }
}

void MatrixPanel::mousePressEvent(QMouseEvent* event) {
  KeepPress(event);
}

}  // namespace quintara::ui
