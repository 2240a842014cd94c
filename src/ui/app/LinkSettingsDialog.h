#pragma once

#include <QComboBox>
#include <QWidget>
#include <optional>

#include "core/platform/Ipv4Address.h"
#include "ui/app/LinkSettingsControls.h"
#include "ui/form/ControlFactory.h"

namespace quintara::ui {

class MainWindow;

// The link settings: LAN or serial link, the serial port and its rate, and the device's
// addressing (DHCP or a static address). Every choice is written into the controller at once,
// so a new dialog shows it again.
class LinkSettingsDialog : public QWidget {
  Q_OBJECT

 public:
  explicit LinkSettingsDialog(MainWindow& mainWindow);

  // The dialog's controls, by the ids of LinkSettingsControls().
  const ControlSet& Controls() const { return controls_; }
  std::uint32_t PortConnectedCopy() const { return portConnected_; }

  // The address field's four octets; nothing unless it holds a whole address.
  std::optional<Ipv4Address> AddressFieldAddress() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QComboBox* List(int id) const { return controls_.Get<QComboBox>(id); }
  void FillLinkList();
  void FillSerialLists();
  void FillAddressing();
  void ConnectControls();
  void ShowPortState(bool listsEnabled, bool portOpen);
  void EnableAddressFields(bool enabled);
  void ChooseLink(int position);
  void ConnectOrDisconnect();
  void ChooseAddressMode(int mode);
  void ApplyStaticAddress();
  void RefuseAddress();

  MainWindow& mainWindow_;
  ControlSet controls_;
  std::uint32_t portConnected_ = 0;  // the dialog's own copy; it may drift from the port
  int linkPosition_ = 0;
};

}  // namespace quintara::ui
