#include "ui/app/LinkSettingsDialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "core/Controller.h"
#include "core/link/SerialPortList.h"
#include "ui/app/MainWindow.h"
#include "ui/controls/AddressEdit.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

constexpr std::uint32_t kPortConnected = 0xFFFFFFFF;

}  // namespace

LinkSettingsDialog::LinkSettingsDialog(MainWindow& mainWindow)
    : QWidget(&mainWindow, Qt::Window | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
  setAttribute(Qt::WA_DeleteOnClose, false);  // the main window destroys it when it makes a new one
  portConnected_ = mainWindow_.GetController().PortConnected();
  const DpiScale& scale = mainWindow_.Scale();
  resize(scale.X(440), scale.Y(486));
  // Lists and edits: the list blue on the control grey.
  const TextColours fields{skin::ListBlue, skin::ControlGround};
  controls_ = BuildControls(LinkSettingsControls(), {fields, fields}, *this, scale);
  FillLinkList();
  FillSerialLists();
  FillAddressing();
  ConnectControls();
}

void LinkSettingsDialog::FillLinkList() {
  QComboBox* links = List(LinkSettingsId::LinkList);
  links->addItems({QStringLiteral("LAN Port"), QStringLiteral("Serial Port")});
  linkPosition_ = mainWindow_.GetController().CurrentLink() == LinkKind::Serial ? 1 : 0;
  links->setCurrentIndex(linkPosition_);
}

void LinkSettingsDialog::FillSerialLists() {
  const Controller& controller = mainWindow_.GetController();
  const std::vector<std::string> ports =
      ListSerialPorts(mainWindow_.SerialPorts()).value_or(std::vector<std::string>{});
  const PortAndBaudLists lists =
      FillPortAndBaudLists(ports, controller.PortIndex(), controller.BaudIndex());
  QComboBox* portList = List(LinkSettingsId::PortList);
  for (const std::string& port : lists.ports) {
    portList->addItem(QString::fromStdString(port));
  }
  portList->setCurrentIndex(lists.portSelection);
  QComboBox* baudList = List(LinkSettingsId::BaudList);
  for (const std::string& baud : lists.bauds) {
    baudList->addItem(QString::fromStdString(baud));
  }
  baudList->setCurrentIndex(lists.baudSelection);

  if (controller.CurrentLink() == LinkKind::Lan) {
    ShowPortState(false, false);
  } else {
    ShowPortState(portConnected_ == 0, portConnected_ != 0);
  }
}

void LinkSettingsDialog::FillAddressing() {
  Controller& controller = mainWindow_.GetController();
  const DeviceEntry* selected = controller.Devices().SelectedEntry();
  controls_.Get<QLineEdit>(LinkSettingsId::AddressField)
      ->setText(QString::fromStdString(selected ? selected->AddressText() : ""));
  QComboBox* addressing = List(LinkSettingsId::AddressingList);
  addressing->addItems({QStringLiteral("Static"), QStringLiteral("DHCP")});
  const bool dhcp = controller.Session().AddressMode() == kDhcp;
  addressing->setCurrentIndex(dhcp ? 1 : 0);
  EnableAddressFields(!dhcp);
}

void LinkSettingsDialog::ConnectControls() {
  Controller& controller = mainWindow_.GetController();
  const auto activated = [this](int id, auto handler) {
    connect(List(id), &QComboBox::activated, this, handler);
  };
  controls_.OnClicked(LinkSettingsId::Close, this, [this] { hide(); });
  controls_.OnClicked(LinkSettingsId::PortButton, this, [this] { ConnectOrDisconnect(); });
  controls_.OnClicked(LinkSettingsId::ApplyButton, this, [this] { ApplyStaticAddress(); });
  activated(LinkSettingsId::LinkList, [this](int position) { ChooseLink(position); });
  activated(LinkSettingsId::PortList, [&controller](int index) {
    controller.SetPortIndex(static_cast<std::uint8_t>(index));
  });
  activated(LinkSettingsId::BaudList, [&controller](int index) {
    controller.SetBaudIndex(static_cast<std::uint8_t>(index));
  });
  activated(LinkSettingsId::AddressingList, [this](int mode) { ChooseAddressMode(mode); });
  // A refused keystroke says so once the key is handled, instead of vanishing without a word
  // (typing 300 would otherwise leave 30 standing).
  connect(controls_.Get<AddressEdit>(LinkSettingsId::AddressField), &QLineEdit::inputRejected, this,
          &LinkSettingsDialog::RefuseAddress, Qt::QueuedConnection);
}

void LinkSettingsDialog::ShowPortState(bool listsEnabled, bool portOpen) {
  List(LinkSettingsId::PortList)->setEnabled(listsEnabled);
  List(LinkSettingsId::BaudList)->setEnabled(listsEnabled);
  controls_.Get<ShadeButton>(LinkSettingsId::PortButton)->ShowActive(portOpen);
}

void LinkSettingsDialog::EnableAddressFields(bool enabled) {
  for (const int id :
       {LinkSettingsId::AddressField, LinkSettingsId::SubnetField, LinkSettingsId::GatewayField}) {
    controls_.Find(id)->setEnabled(enabled);
  }
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
    ShowPortState(false, false);
    controller.SetLinkKind(LinkKind::Lan);
  } else {
    // The port itself stays as it is, and so does the button's picture.
    List(LinkSettingsId::PortList)->setEnabled(true);
    List(LinkSettingsId::BaudList)->setEnabled(true);
    controller.SetLinkKind(LinkKind::Serial);
  }
  portConnected_ = 0;
  linkPosition_ = position;
}

void LinkSettingsDialog::ConnectOrDisconnect() {
  Controller& controller = mainWindow_.GetController();
  if (controller.CurrentLink() != LinkKind::Serial) {
    return;
  }
  if (portConnected_ != 0) {
    controller.SerialPort().SerialClose(CnComm::kCloseWaitMs);
    ShowPortState(true, false);
  } else {
    if (!controller.OpenSelectedPort(List(LinkSettingsId::PortList)->currentText().toStdString(),
                                     List(LinkSettingsId::BaudList)->currentText().toStdString())) {
      return;
    }
    ShowPortState(false, true);
  }
  portConnected_ = portConnected_ == 0 ? kPortConnected : 0;
  controller.SetPortConnected(portConnected_);
}

void LinkSettingsDialog::ChooseAddressMode(int mode) {
  Controller& controller = mainWindow_.GetController();
  if (mode == controller.Session().AddressMode()) {
    return;
  }
  EnableAddressFields(mode != kDhcp);
  controller.Session().ChooseAddressMode(static_cast<std::uint8_t>(mode));
}

std::optional<Ipv4Address> LinkSettingsDialog::AddressFieldAddress() const {
  return controls_.Get<AddressEdit>(LinkSettingsId::AddressField)->Address();
}

void LinkSettingsDialog::ApplyStaticAddress() {
  Controller& controller = mainWindow_.GetController();
  if (controller.Session().AddressMode() == kDhcp) {
    return;  // under DHCP the button does nothing, whatever the field holds
  }
  // Anything but four octets 0-255 is refused as 0.0.0.0 is, rather than padded or cut.
  const std::optional<Ipv4Address> address = AddressFieldAddress();
  if (!address) {
    RefuseAddress();
    return;
  }
  controller.Session().ApplyStaticAddress(*address);
}

void LinkSettingsDialog::RefuseAddress() {
  mainWindow_.GetPrompter().ShowError(kInputIpError);
}

}  // namespace quintara::ui
