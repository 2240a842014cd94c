#include "ui/app/LinkSettingsDialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "core/Controller.h"
#include "core/link/SerialPortList.h"
#include "ui/app/MainWindow.h"
#include "ui/controls/ColourButton.h"
#include "ui/controls/ShadeButton.h"
#include "ui/res/Palette.h"
#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

constexpr std::uint32_t kPortConnected = 0xFFFFFFFF;

}  // namespace

LinkSettingsDialog::LinkSettingsDialog(MainWindow& mainWindow)
    : QWidget(&mainWindow, Qt::Window | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
  setAttribute(Qt::WA_DeleteOnClose, false);  // the main window destroys it when it makes a new one
  portConnected_ = mainWindow_.GetController().PortConnected();
  BuildControls();
}

void LinkSettingsDialog::BuildControls() {
  Controller& controller = mainWindow_.GetController();
  const DpiScale& scale = mainWindow_.Scale();
  resize(scale.X(440), scale.Y(486));
  QPalette fields = palette();
  fields.setColor(QPalette::Base, skin::ControlGround);
  fields.setColor(QPalette::Button, skin::ControlGround);
  fields.setColor(QPalette::Window, skin::ControlGround);
  fields.setColor(QPalette::Text, skin::ListBlue);
  fields.setColor(QPalette::ButtonText, skin::ListBlue);
  fields.setColor(QPalette::WindowText, skin::ListBlue);

  closeButton_ = new ColourButton(this);
  closeButton_->setText(QStringLiteral("x"));
  closeButton_->SetTextColour(skin::Green);
  closeButton_->setGeometry(scale.Rect(400, 0, 40, 35));
  connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::hide);

  const auto list = [&](int y) {
    auto* combo = new QComboBox(this);
    combo->setPalette(fields);
    combo->setGeometry(scale.Rect(175, y, 170, 20));
    return combo;
  };
  linkList_ = list(30);
  linkList_->addItems({QStringLiteral("LAN Port"), QStringLiteral("Serial Port")});
  linkPosition_ = controller.CurrentLink() == LinkKind::Serial ? 1 : 0;
  linkList_->setCurrentIndex(linkPosition_);
  connect(linkList_, &QComboBox::activated, this, [this](int p) { ChooseLink(p); });

  portList_ = list(80);
  baudList_ = list(130);
  const std::vector<std::string> ports =
      ListSerialPorts(mainWindow_.SerialPorts()).value_or(std::vector<std::string>{});
  const PortAndBaudLists lists =
      FillPortAndBaudLists(ports, controller.PortIndex(), controller.BaudIndex());
  for (const std::string& port : lists.ports) {
    portList_->addItem(QString::fromStdString(port));
  }
  portList_->setCurrentIndex(lists.portSelection);
  for (const std::string& baud : lists.bauds) {
    baudList_->addItem(QString::fromStdString(baud));
  }
  baudList_->setCurrentIndex(lists.baudSelection);
  connect(portList_, &QComboBox::activated, this,
          [&controller](int index) { controller.SetPortIndex(static_cast<std::uint8_t>(index)); });
  connect(baudList_, &QComboBox::activated, this,
          [&controller](int index) { controller.SetBaudIndex(static_cast<std::uint8_t>(index)); });

  portButton_ = new ShadeButton(this);
  portButton_->setGeometry(scale.PixelSized(165, 160, 180, 40));
  portButton_->SetFlatBorder(false);
  connect(portButton_, &QAbstractButton::clicked, this, [this] { ConnectOrDisconnect(); });
  if (controller.CurrentLink() == LinkKind::Lan) {
    ShowPortState(false, SkinId::Connect);
  } else if (portConnected_ == 0) {
    ShowPortState(true, SkinId::Connect);
  } else {
    ShowPortState(false, SkinId::Disconnect);
  }

  const QRegularExpression dottedQuad(
      QStringLiteral("^((25[0-5]|2[0-4]\\d|1?\\d?\\d)?\\.){3}(25[0-5]|2[0-4]\\d|1?\\d?\\d)?$"));
  const auto addressField = [&](int y, const QString& text) {
    auto* field = new QLineEdit(text, this);
    field->setPalette(fields);
    field->setValidator(new QRegularExpressionValidator(dottedQuad, field));
    field->setGeometry(scale.X(175), scale.Y(y), 150, 22);
    return field;
  };
  const DeviceEntry* selected = controller.Devices().SelectedEntry();
  addressField_ =
      addressField(300, QString::fromStdString(selected ? selected->AddressText() : ""));
  subnetField_ = addressField(300, QStringLiteral("255.255.255.0"));
  gatewayField_ = addressField(300, QStringLiteral("192.168.1.1"));
  subnetField_->hide();
  gatewayField_->hide();

  applyButton_ = new ShadeButton(this);
  applyButton_->setGeometry(scale.PixelSized(165, 350, 180, 40));
  applyButton_->SetButtonBitmapById(SkinId::Apply);
  applyButton_->SetFlatBorder(false);
  connect(applyButton_, &QAbstractButton::clicked, this, [this] { ApplyStaticAddress(); });

  addressingList_ = list(250);
  addressingList_->addItems({QStringLiteral("Static"), QStringLiteral("DHCP")});
  const bool dhcp = controller.AddressMode() == kDhcp;
  addressingList_->setCurrentIndex(dhcp ? 1 : 0);
  for (QLineEdit* field : {addressField_, subnetField_, gatewayField_}) {
    field->setEnabled(!dhcp);
  }
  connect(addressingList_, &QComboBox::activated, this, [this](int m) { ChooseAddressMode(m); });
}

void LinkSettingsDialog::ShowPortState(bool listsEnabled, int bitmapId) {
  portList_->setEnabled(listsEnabled);
  baudList_->setEnabled(listsEnabled);
  portButton_->SetButtonBitmapById(bitmapId);
}

void LinkSettingsDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), Skin::Bitmap(SkinId::SettingsBackground));
}

void LinkSettingsDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->accept();  // never closes the dialog
    return;
  }
  QWidget::keyPressEvent(event);
}

void LinkSettingsDialog::ChooseLink(int position) {
  if (position == linkPosition_) {
    return;
  }
  Controller& controller = mainWindow_.GetController();
  if (position == 0) {
    portList_->setEnabled(false);
    baudList_->setEnabled(false);
    portButton_->SetButtonBitmapById(SkinId::Connect);
    portConnected_ = 0;
    controller.SetLinkKind(LinkKind::Lan);
  } else {
    portList_->setEnabled(true);
    baudList_->setEnabled(true);
    controller.SetLinkKind(LinkKind::Serial);
    portConnected_ = 0;  // the port itself stays as it is
  }
  linkPosition_ = position;
}

void LinkSettingsDialog::ConnectOrDisconnect() {
  Controller& controller = mainWindow_.GetController();
  if (controller.CurrentLink() != LinkKind::Serial) {
    return;
  }
  if (portConnected_ != 0) {
    controller.SerialPort().SerialClose(CnComm::kCloseWaitMs);
    ShowPortState(true, SkinId::Connect);
  } else {
    if (!controller.OpenSelectedPort(portList_->currentText().toStdString(),
                                     baudList_->currentText().toStdString())) {
      return;
    }
    ShowPortState(false, SkinId::Disconnect);
  }
  portConnected_ = portConnected_ == 0 ? kPortConnected : 0;
  controller.SetPortConnected(portConnected_);
}

void LinkSettingsDialog::ChooseAddressMode(int mode) {
  Controller& controller = mainWindow_.GetController();
  if (mode == controller.AddressMode()) {
    return;
  }
  for (QLineEdit* field : {addressField_, subnetField_, gatewayField_}) {
    field->setEnabled(mode != kDhcp);
  }
  controller.ChooseAddressMode(static_cast<std::uint8_t>(mode));
}

Ipv4Address LinkSettingsDialog::AddressFieldOctets() const {
  Ipv4Address address;
  const QStringList parts = addressField_->text().split(QLatin1Char('.'));
  for (int i = 0; i < 4 && i < parts.size(); ++i) {
    address.octets[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(parts[i].toUInt());
  }
  return address;
}

void LinkSettingsDialog::ApplyStaticAddress() {
  mainWindow_.GetController().ApplyStaticAddress(AddressFieldOctets());
}

}  // namespace quintara::ui
