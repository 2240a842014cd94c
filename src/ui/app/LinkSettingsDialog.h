#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "core/platform/Ipv4Address.h"

namespace quintara::ui {

class MainWindow;
class ShadeButton;
class ColourButton;

// The link settings: LAN or serial link, the serial port and its rate, and the device's
// addressing (DHCP or a static address). Every choice is written into the controller at once,
// so a new dialog shows it again.
class LinkSettingsDialog : public QWidget {
  Q_OBJECT

 public:
  explicit LinkSettingsDialog(MainWindow& mainWindow);

  QComboBox* LinkList() const { return linkList_; }
  QComboBox* PortList() const { return portList_; }
  QComboBox* BaudList() const { return baudList_; }
  QComboBox* AddressingList() const { return addressingList_; }
  QLineEdit* AddressField() const { return addressField_; }
  ShadeButton* PortButton() const { return portButton_; }
  ShadeButton* ApplyButton() const { return applyButton_; }
  std::uint32_t PortConnectedCopy() const { return portConnected_; }

  // The four octets of the address field; a blank octet reads 0.
  Ipv4Address AddressFieldOctets() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void ShowPortState(bool listsEnabled, int bitmapId);
  void ChooseLink(int position);
  void ConnectOrDisconnect();
  void ChooseAddressMode(int mode);
  void ApplyStaticAddress();

  MainWindow& mainWindow_;
  ColourButton* closeButton_ = nullptr;
  QComboBox* linkList_ = nullptr;
  QComboBox* portList_ = nullptr;
  QComboBox* baudList_ = nullptr;
  ShadeButton* portButton_ = nullptr;
  QComboBox* addressingList_ = nullptr;
  QLineEdit* addressField_ = nullptr;
  QLineEdit* subnetField_ = nullptr;   // never shown, never read
  QLineEdit* gatewayField_ = nullptr;  // never shown, never read
  ShadeButton* applyButton_ = nullptr;
  std::uint32_t portConnected_ = 0;  // the dialog's own copy; it may drift from the port
  int linkPosition_ = 0;
};

}  // namespace quintara::ui
