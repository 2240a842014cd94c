#pragma once

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Controller.h"
#include "core/ControllerObserver.h"
#include "core/link/SerialPortList.h"
#include "core/presets/PresetStore.h"
#include "ui/app/GuiThreadObserver.h"
#include "ui/app/LinkSettingsDialog.h"
#include "ui/app/MainWindowControls.h"
#include "ui/app/QtExchangeRunner.h"
#include "ui/app/QtExecutor.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"

namespace quintara::ui {

class ShadeButton;

inline constexpr const char* kAboutEntryText = "关于 KORVEL_16_ZUZE(&A)...";
inline constexpr const char* kSaveSettingsEntryText = "Save settings to file...";
inline constexpr const char* kLoadSettingsEntryText = "Load settings from file...";
inline constexpr const char* kSavePresetEntryText = "Save preset...";
inline constexpr const char* kRecallPresetEntryText = "Recall preset";

// The main window, and the face of the controller: device list, search, link settings, lock,
// device name, status line and the panel area where a device's panel opens.
class MainWindow : public QWidget, public ControllerObserver, private BusyFace {
  Q_OBJECT

 public:
  struct Options {
    LinkConfig link;
    LinkTiming timing;
    SerialPortSource serialPorts;
    std::optional<DpiScale> dpi;                        // from the screen unless given
    std::optional<std::filesystem::path> presetFolder;  // no presets without one
  };

  MainWindow(const Options& options, Prompter& prompter, QWidget* parent = nullptr);
  ~MainWindow() override;

  Controller& GetController() { return *controller_; }
  // The "Err" and "Warning" boxes, for the dialogs the window opens.
  Prompter& GetPrompter() { return prompter_; }
  const DpiScale& Scale() const { return scale_; }
  const SerialPortSource& SerialPorts() const { return serialPorts_; }
  QRect PanelArea() const { return panelArea_; }
  // An exchange runs: the window paints but takes no input.
  bool Busy() const { return runner_.Running(); }
  QtExchangeRunner& Runner() { return runner_; }

  // The window's controls, by the ids of MainWindowControls().
  const ControlSet& Controls() const { return controls_; }
  LinkSettingsDialog* SettingsDialog() const { return settingsDialog_; }
  // The panel of the connected device; null when none is open.
  QWidget* DevicePanel() const { return devicePanel_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ControllerObserver, always called on this thread (GuiThreadObserver hands over a worker's
  // calls).
  void CloseDevicePanel() override;
  void DeviceListChanged(const std::vector<std::string>& lines) override;
  void DeviceListSelectionChanged(int index) override;
  void StatusTextChanged(std::string_view text) override;
  void LockStateChanged(std::uint8_t lockState) override;
  void NameFieldChanged(std::u16string_view text) override;

  // BusyFace: what cannot be used while an exchange runs looks disabled.
  void ShowBusy(const QString& what) override;
  void ShowStatusLine(const QString& text);
  void ShowIdle() override;
  QList<QWidget*> OperatorControls() const;

  void SetUpControls();
  void ConnectControls();
  void Search();
  void ChangeDevice(int index);
  void OpenPanel();
  void OpenLinkSettings();
  void ToggleLock();
  void SendName();
  void ShowAbout();
  // The multiviewer's settings to and from a file; only while its panel is open.
  bool MultiviewerPanelOpen() const;
  void SaveSettingsToFile();
  void LoadSettingsFromFile();
  std::optional<std::filesystem::path> ChooseSettingsFile(QFileDialog::AcceptMode mode);
  // What the open panel's device saves and loads: a multiviewer's settings file.
  bool SettingsFilesOpen() const;
  void SaveSettingsTo(const std::filesystem::path& path);
  void LoadSettingsFrom(const std::filesystem::path& path);
  // The presets of the open device's kind, by name.
  std::vector<std::string> PresetsForOpenDevice() const;
  void AddPresetEntries(QMenu& menu);
  void SavePreset();
  // Opens the connected device's panel again, as choosing it in the list would.
  void ReopenPanel();

  Prompter& prompter_;
  DpiScale scale_;
  SerialPortSource serialPorts_;
  QtExecutor executor_;
  GuiThreadObserver guiThreadObserver_{*this, *this};
  SystemClock clock_;
  std::unique_ptr<Controller> controller_;
  // After the controller: an exchange still on the wire ends before the links and sessions go.
  QtExchangeRunner runner_{executor_, *this};
  ControlSet controls_;
  // The controls the handlers use most, taken from controls_ once.
  QComboBox* deviceList_ = nullptr;
  QLineEdit* nameField_ = nullptr;
  QLineEdit* focusSink_ = nullptr;
  QLabel* statusLine_ = nullptr;
  int statusLineWidth_ = 0;  // as laid out; notes may widen the line
  ShadeButton* lockButton_ = nullptr;
  QPointer<LinkSettingsDialog> settingsDialog_;
  QPointer<QWidget> devicePanel_;
  std::shared_ptr<DeviceSession> panelSession_;  // the device the open panel shows
  QRect panelArea_;
  bool nameFocusFlag_ = false;
  QString statusText_;          // the status core asked for; the busy text covers it meanwhile
  bool statusCovered_ = false;  // a busy text covers statusText_
  bool fillingList_ = false;    // the list changes the window makes itself are not operator choices
  std::optional<QPoint> dragOffset_;
  QString settingsFolder_;  // where the last settings file was chosen
  std::optional<PresetStore> presets_;
};

}  // namespace quintara::ui
