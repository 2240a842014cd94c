#include "ui/app/MainWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/matrix/files/MatrixSettingsPresenter.h"
#include "core/viewer/files/SettingsFilePresenter.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/DevicePanels.h"
#include "ui/app/LinkSettingsDialog.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/MultiviewerPanel.h"

namespace quintara::ui {
namespace {

DpiScale ScreenScale() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return {};
  }
  return {static_cast<int>(screen->logicalDotsPerInchX()),
          static_cast<int>(screen->logicalDotsPerInchY())};
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow(const Options& options, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      prompter_(prompter),
      scale_(options.dpi.value_or(ScreenScale())),
      serialPorts_(options.serialPorts),
      controller_(std::make_unique<Controller>(options.link, options.timing, clock_, prompter,
                                               guiThreadObserver_)) {
  controller_->SetRunner(runner_);
  if (options.presetFolder) {
    presets_.emplace(*options.presetFolder);
  }
  std::printf("m_screen_x_dpi = %d,m_screen_y_dpi = %d \n ", scale_.dpiX, scale_.dpiY);
  std::fflush(stdout);
  setWindowTitle(QStringLiteral("Quintara"));
  // The skin's background covers every pixel: Qt's own fill beneath it would be wasted work.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowIcon(Skin::WindowIcon());
  setGeometry(0, 0, scale_.X(1280), scale_.Y(720));
  SetUpControls();
  StartSocketLibrary(prompter);
}

MainWindow::~MainWindow() {
  if (settingsDialog_) {
    delete settingsDialog_;
  }
  // The panel uses the controller: it goes first.
  CloseDevicePanel();
}

void MainWindow::SetUpControls() {
  // Lists and edits: white on the control grey. Labels: black on green.
  const ControlColours colours{{Qt::white, skin::ControlGround}, {Qt::black, skin::Green}};
  controls_ = BuildControls(MainWindowControls(), colours, *this, scale_);
  deviceList_ = controls_.Get<QComboBox>(MainWindowId::DeviceList);
  nameField_ = controls_.Get<QLineEdit>(MainWindowId::NameField);
  focusSink_ = controls_.Get<QLineEdit>(MainWindowId::FocusSink);
  statusLine_ = controls_.Get<QLabel>(MainWindowId::StatusLine);
  statusLineWidth_ = statusLine_->width();
  lockButton_ = controls_.Get<ShadeButton>(MainWindowId::Lock);
  panelArea_ = controls_.Find(MainWindowId::PanelArea)->geometry();
  // Sixteen characters, those outside the basic plane included: the field holds twice as many
  // UTF-16 units and cuts whole characters.
  nameField_->setMaxLength(2 * static_cast<int>(kDeviceNameMaxCharacters));
  nameField_->installEventFilter(this);
  ConnectControls();
}

void MainWindow::ConnectControls() {
  controls_.OnClicked(MainWindowId::Minimise, this, [this] { showMinimized(); });
  controls_.OnClicked(MainWindowId::Close, this, [this] { close(); });
  controls_.OnClicked(MainWindowId::Search, this, [this] { Search(); });
  controls_.OnClicked(MainWindowId::LinkSettings, this, [this] { OpenLinkSettings(); });
  controls_.OnClicked(MainWindowId::Lock, this, [this] { ToggleLock(); });
  connect(deviceList_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!fillingList_) {
      ChangeDevice(index);
    }
  });
  connect(nameField_, &QLineEdit::textChanged, this, [this](const QString& text) {
    const std::u16string typed = text.toStdU16String();
    const std::u16string_view kept = FirstCharacters(typed, kDeviceNameMaxCharacters);
    if (kept.size() < typed.size()) {
      nameField_->setText(QString::fromStdU16String(std::u16string(kept)));
    }
  });
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Skin::Paint(painter, SkinId::MainBackground, rect());
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  if (nameFocusFlag_) {
    focusSink_->setFocus();  // the name field loses the focus, which sends the name
    nameFocusFlag_ = false;
  }
  // The background drags the whole window, as a caption would.
  if (windowHandle() == nullptr || !windowHandle()->startSystemMove()) {
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragOffset_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - *dragOffset_);
  } else {
    dragOffset_.reset();
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enterOrEscape = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                             event->key() == Qt::Key_Escape;
  if (!enterOrEscape) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (nameField_->hasFocus()) {
    SendName();
  }
  event->accept();  // neither key ever closes the window
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  // Linux windows have no system menu of their own: the about entry lives here.
  QMenu menu(this);
  menu.addAction(QString::fromUtf8(kAboutEntryText), this, [this] { ShowAbout(); });
  menu.addSeparator();
  const bool files = SettingsFilesOpen();
  menu.addAction(QString::fromUtf8(kSaveSettingsEntryText), this, [this] { SaveSettingsToFile(); })
      ->setEnabled(files);
  menu.addAction(QString::fromUtf8(kLoadSettingsEntryText), this,
                 [this] { LoadSettingsFromFile(); })
      ->setEnabled(files);
  menu.addSeparator();
  AddPresetEntries(menu);
  menu.exec(event->globalPos());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == nameField_) {
    if (event->type() == QEvent::FocusIn) {
      nameFocusFlag_ = true;
    } else if (event->type() == QEvent::FocusOut) {
      SendName();
    } else if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        SendName();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::CloseDevicePanel() {
  if (devicePanel_) {
    devicePanel_->hide();
    delete devicePanel_;
  }
  // Only once the panel, and what it attached to the session, are gone.
  if (panelSession_) {
    std::exchange(panelSession_, nullptr)->NextPanelGeneration();
  }
}

void MainWindow::DeviceListChanged(const std::vector<std::string>& lines) {
  fillingList_ = true;
  deviceList_->clear();
  for (const std::string& line : lines) {
    deviceList_->addItem(QString::fromStdString(line));
  }
  fillingList_ = false;
}

void MainWindow::DeviceListSelectionChanged(int index) {
  fillingList_ = true;
  deviceList_->setCurrentIndex(index);
  fillingList_ = false;
}

void MainWindow::StatusTextChanged(std::string_view text) {
  statusText_ = ToQString(text);
  if (!Busy()) {
    ShowStatusLine(statusText_);
  }
}

void MainWindow::ShowStatusLine(const QString& text) {
  statusLine_->setText(text);
  // A note ("No answer from" and the device's line) runs longer than the line's own width: the
  // line grows to the right to show it whole, and keeps its width for the short texts.
  statusLine_->resize(std::max(statusLineWidth_, statusLine_->sizeHint().width()),
                      statusLine_->height());
}

void MainWindow::LockStateChanged(std::uint8_t lockState) {
  lockButton_->SetButtonBitmapById(lockState == 1 ? SkinId::LockClosed : SkinId::LockOpen);
}

void MainWindow::NameFieldChanged(std::u16string_view text) {
  nameField_->setText(QString::fromStdU16String(std::u16string(text)));
}

QList<QWidget*> MainWindow::OperatorControls() const {
  QList<QWidget*> controls{deviceList_, nameField_, lockButton_,
                           controls_.Find(MainWindowId::Search),
                           controls_.Find(MainWindowId::LinkSettings)};
  if (settingsDialog_) {
    controls.append(settingsDialog_);
  }
  if (devicePanel_) {
    controls.append(devicePanel_);
  }
  return controls;
}

void MainWindow::ShowBusy(const QString& what) {
  // Exchanges that follow one another each say what they do; the line under them is kept once.
  if (!statusCovered_) {
    statusText_ = statusLine_->text();
    statusCovered_ = true;
  }
  ShowStatusLine(what);
  for (QWidget* control : OperatorControls()) {
    control->setEnabled(false);
  }
}

void MainWindow::ShowIdle() {
  for (QWidget* control : OperatorControls()) {
    control->setEnabled(true);
  }
  statusCovered_ = false;
  ShowStatusLine(statusText_);
}

void MainWindow::Search() {
  if (Busy()) {
    return;
  }
  // The first device found opens once the search has ended; the window paints meanwhile.
  controller_->StartSearch([this] { OpenPanel(); });
}

void MainWindow::ChangeDevice(int index) {
  DeviceDirectory& devices = controller_->Devices();
  devices.SetSelectedIndex(index);
  if (index == devices.ConnectedIndex()) {
    return;
  }
  OpenPanel();
}

void MainWindow::OpenPanel() {
  DeviceDirectory& devices = controller_->Devices();
  const int selected = devices.SelectedIndex();
  if (selected < 0 || selected > 255 || deviceList_->count() == 0) {
    return;
  }
  controller_->Network().CloseCommandSocket();
  nameField_->clear();
  controller_->Session().SetNameText(u" ");
  CloseDevicePanel();
  devices.SetConnectedIndex(selected);
  panelSession_ = controller_->SelectedSession();
  const DeviceKindInfo* kind = panelSession_->Kind();
  if (kind == nullptr) {
    return;  // a device type without a panel leaves the area empty
  }
  devicePanel_ = OpenDevicePanel(
      kind->kind, {*panelSession_, controller_->Network(), executor_, scale_, this, panelArea_});
}

void MainWindow::OpenLinkSettings() {
  if (settingsDialog_) {
    delete settingsDialog_;
  }
  settingsDialog_ = new LinkSettingsDialog(*this);
  const QRect window = frameGeometry();
  const int left = window.left() + scale_.X(100);
  const int top = window.top() + scale_.Y(40);
  settingsDialog_->setGeometry(left, top, scale_.X(440), scale_.Y(486));
  settingsDialog_->show();
}

void MainWindow::ToggleLock() {
  controller_->Session().ToggleLock();
}

void MainWindow::SendName() {
  // The field loses the focus when an exchange disables it; the controller is the exchange's.
  // While locked only a name the operator typed is refused aloud, once.
  if (Busy() || (controller_->Session().Locked() && !nameField_->isModified())) {
    return;
  }
  nameField_->setModified(false);
  controller_->Session().SendDeviceName(nameField_->text().toStdU16String());
}

void MainWindow::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

bool MainWindow::MultiviewerPanelOpen() const {
  return qobject_cast<MultiviewerPanel*>(devicePanel_.data()) != nullptr;
}

bool MainWindow::SettingsFilesOpen() const {
  // Every kind of device the window opens a panel for has a settings file.
  return devicePanel_ && controller_->Session().Kind() != nullptr;
}

void MainWindow::SaveSettingsToFile() {
  if (Busy() || !SettingsFilesOpen()) {
    return;
  }
  if (const auto path = ChooseSettingsFile(QFileDialog::AcceptSave)) {
    SaveSettingsTo(*path);
  }
}

void MainWindow::LoadSettingsFromFile() {
  if (Busy() || !SettingsFilesOpen()) {
    return;
  }
  if (const auto path = ChooseSettingsFile(QFileDialog::AcceptOpen)) {
    LoadSettingsFrom(*path);
  }
}

void MainWindow::SaveSettingsTo(const std::filesystem::path& path) {
  if (MultiviewerPanelOpen()) {
    SettingsFilePresenter(controller_->Session()).Save(path);
  } else {
    MatrixSettingsPresenter(controller_->Session()).Save(path);
  }
}

void MainWindow::LoadSettingsFrom(const std::filesystem::path& path) {
  if (!MultiviewerPanelOpen()) {
    // The switcher's panel shows what the switcher holds once it is opened again.
    MatrixSettingsPresenter(controller_->Session()).Load(path, [this] { ReopenPanel(); });
    return;
  }
  SettingsFilePresenter::PanelSteps panel;
  // The panel is replaced once the settings are in; what its listener hands over meanwhile is
  // dropped as if it were gone already.
  panel.stopFollowing = [session = panelSession_] { session->NextPanelGeneration(); };
  panel.catchUp = [this] { ReopenPanel(); };
  SettingsFilePresenter(controller_->Session()).Load(path, panel);
}

std::vector<std::string> MainWindow::PresetsForOpenDevice() const {
  std::vector<std::string> names;
  const DeviceKindInfo* kind = controller_->Session().Kind();
  if (!presets_ || !SettingsFilesOpen() || kind == nullptr) {
    return names;
  }
  const auto listed = presets_->List();
  if (const auto* presets = std::get_if<std::vector<PresetEntry>>(&listed)) {
    for (const PresetEntry& preset : *presets) {
      if (preset.kind == kind->name) {
        names.push_back(preset.name);
      }
    }
  }
  return names;
}

void MainWindow::AddPresetEntries(QMenu& menu) {
  menu.addAction(QString::fromUtf8(kSavePresetEntryText), this, [this] { SavePreset(); })
      ->setEnabled(presets_ && SettingsFilesOpen());
  QMenu* recall = menu.addMenu(QString::fromUtf8(kRecallPresetEntryText));
  for (const std::string& name : PresetsForOpenDevice()) {
    recall->addAction(QString::fromStdString(name), this, [this, name] {
      if (!Busy() && SettingsFilesOpen()) {
        LoadSettingsFrom(presets_->FileOf(name));
      }
    });
  }
  recall->setEnabled(!recall->isEmpty());
}

void MainWindow::SavePreset() {
  if (Busy() || !presets_ || !SettingsFilesOpen()) {
    return;
  }
  bool chosen = false;
  const std::string name =
      QInputDialog::getText(this, QStringLiteral("Save preset"), QStringLiteral("Preset name:"),
                            QLineEdit::Normal, QString(), &chosen)
          .trimmed()
          .toStdString();
  if (!chosen) {
    return;
  }
  if (const std::optional<std::string> refused = CheckPresetName(name)) {
    prompter_.ShowError("The preset cannot be saved: " + *refused + ".");
    return;
  }
  std::error_code error;
  if (std::filesystem::exists(presets_->FileOf(name), error) &&
      !prompter_.Confirm("The preset '" + name + "' exists already. Replace it?")) {
    return;
  }
  if (const std::optional<std::string> failure = presets_->Prepare()) {
    prompter_.ShowError("The preset cannot be saved: " + *failure + ".");
    return;
  }
  SaveSettingsTo(presets_->FileOf(name));
}

std::optional<std::filesystem::path> MainWindow::ChooseSettingsFile(QFileDialog::AcceptMode mode) {
  const bool save = mode == QFileDialog::AcceptSave;
  // Qt's own dialog, so that it wears the skin like every other window.
  QFileDialog dialog(this, save ? QStringLiteral("Save settings to file")
                                : QStringLiteral("Load settings from file"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("json"));
  dialog.setNameFilters(
      save ? QStringList{QStringLiteral("Settings (*.json)")}
           : QStringList{QStringLiteral("Settings (*.json)"), QStringLiteral("All files (*)")});
  dialog.setDirectory(settingsFolder_.isEmpty() ? QDir::homePath() : settingsFolder_);
  if (save) {
    // The device's name, as far as it makes a file name.
    QString name = QString::fromStdU16String(controller_->Session().NameText()).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    dialog.selectFile((name.isEmpty() ? QStringLiteral("multiviewer") : name) +
                      QStringLiteral(".json"));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  const QString chosen = dialog.selectedFiles().constFirst();
  settingsFolder_ = QFileInfo(chosen).absolutePath();
  return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

void MainWindow::ReopenPanel() {
  DeviceDirectory& devices = controller_->Devices();
  devices.SetSelectedIndex(devices.ConnectedIndex());
  OpenPanel();
}

}  // namespace quintara::ui
