#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "core/platform/Ipv4Address.h"

namespace quintara::ui {

class CKORVEL_16_ZUZEDlg;
class CShadeButtonST;
class CColorButton;

// The link settings: LAN or serial link, the serial port and its rate, and the device's
// addressing (DHCP or a static address). Every choice is written into the controller at once,
// so a new dialog shows it again.
class CClass_configure_argc_dlg : public QWidget {
  Q_OBJECT

 public:
  explicit CClass_configure_argc_dlg(CKORVEL_16_ZUZEDlg& mainWindow);

  QComboBox* LinkList() const { return linkList_; }
  QComboBox* PortList() const { return portList_; }
  QComboBox* BaudList() const { return baudList_; }
  QComboBox* AddressingList() const { return addressingList_; }
  QLineEdit* AddressField() const { return addressField_; }
  CShadeButtonST* PortButton() const { return portButton_; }
  CShadeButtonST* ApplyButton() const { return applyButton_; }
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

  CKORVEL_16_ZUZEDlg& mainWindow_;
  CColorButton* closeButton_ = nullptr;
  QComboBox* linkList_ = nullptr;
  QComboBox* portList_ = nullptr;
  QComboBox* baudList_ = nullptr;
  CShadeButtonST* portButton_ = nullptr;
  QComboBox* addressingList_ = nullptr;
  QLineEdit* addressField_ = nullptr;
  QLineEdit* subnetField_ = nullptr;   // never shown, never read
  QLineEdit* gatewayField_ = nullptr;  // never shown, never read
  CShadeButtonST* applyButton_ = nullptr;
  std::uint32_t portConnected_ = 0;  // the dialog's own copy; it may drift from the port
  int linkPosition_ = 0;
};

}  // namespace quintara::ui
