#include "ui/viewer/pages/SystemPage.h"

#include "core/viewer/state/ViewerTables.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

int SwitchId(ViewerSwitch which) {
  switch (which) {
    case ViewerSwitch::FormatStatus:
      return SystemPageId::FormatStatus;
    case ViewerSwitch::AudioAlarm:
      return SystemPageId::AudioAlarm;
    case ViewerSwitch::Timecode:
      return SystemPageId::Timecode;
    default:
      return 0;
  }
}

}  // namespace

SystemPage::SystemPage(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : PageWidget(SkinId::SystemBackground, parent),
      presenter_(session),
      controls_(BuildControls(SystemPageControls(), Colours(), *this, scale)),
      formatList_(controls_.Get<QComboBox>(SystemPageId::OutputFormat)) {
  for (const OutputFormatEntry& format : kOutputFormats) {
    formatList_->addItem(
        QString::fromLatin1(format.text.data(), static_cast<qsizetype>(format.text.size())));
  }
  ShowFormatItem(-1);
  ShowOutputFormat();
  ShowSwitches();
  ConnectControls();
  attachment_ = session.ViewerViews().Attach(*this);
}

void SystemPage::ConnectControls() {
  connect(formatList_, &QComboBox::activated, this, [this](int item) {
    if (const auto snapBack = presenter_.ChooseOutputFormat(item)) {
      ShowFormatItem(*snapBack);
    }
  });
  ConnectSwitch(SystemPageId::FormatStatus, ViewerSwitch::FormatStatus);
  ConnectSwitch(SystemPageId::AudioAlarm, ViewerSwitch::AudioAlarm);
  ConnectSwitch(SystemPageId::Timecode, ViewerSwitch::Timecode);
  controls_.OnClicked(SystemPageId::SaveCustom1, this, [this] { presenter_.SaveCustom(1); });
  controls_.OnClicked(SystemPageId::SaveCustom2, this, [this] { presenter_.SaveCustom(2); });
  // What was recalled shows on the switches once it is in; the format list follows once the
  // device reports the recall.
  controls_.OnClicked(SystemPageId::LoadCustom1, this,
                      [this] { presenter_.LoadCustom(1, [this] { ShowSwitches(); }); });
  controls_.OnClicked(SystemPageId::LoadCustom2, this,
                      [this] { presenter_.LoadCustom(2, [this] { ShowSwitches(); }); });
  controls_.OnClicked(SystemPageId::LoadDefault, this,
                      [this] { presenter_.LoadDefaults([this] { ShowSwitches(); }); });
}

void SystemPage::ConnectSwitch(int id, ViewerSwitch which) {
  controls_.OnClicked(id, this, [this, which] {
    if (const auto on = presenter_.Toggle(which)) {
      ShowSwitch(which, *on);
    }
  });
}

void SystemPage::ShowOutputFormat() {
  if (const auto item = presenter_.OutputFormatItem()) {
    ShowFormatItem(*item);
  }
}

void SystemPage::ShowFormatItem(int item) {
  SelectQuietly(formatList_, item);
  presenter_.NoteShownFormat(formatList_->currentIndex());
}

void SystemPage::ShowSwitches() {
  const SystemSwitches switches = presenter_.Switches();
  ShowSwitch(ViewerSwitch::FormatStatus, switches.formatStatus);
  ShowSwitch(ViewerSwitch::AudioAlarm, switches.audioAlarm);
  ShowSwitch(ViewerSwitch::Timecode, switches.timecode);
}

void SystemPage::ShowSwitch(ViewerSwitch which, bool on) {
  if (auto* button = controls_.Get<ShadeButton>(SwitchId(which))) {
    button->ShowActive(on);
  }
}

void SystemPage::RefreshPage(std::uint8_t page) {
  if (page == ViewerPage::System) {
    ShowOutputFormat();
    // A recall made on the device itself changes the switches too.
    ShowSwitches();
  }
}

void SystemPage::SelectionChanged(ViewerSelection what, int, int item) {
  if (what == ViewerSelection::OutputFormat) {
    ShowFormatItem(item);
  }
}

void SystemPage::SwitchChanged(ViewerSwitch what, int, bool on) {
  ShowSwitch(what, on);
}

}  // namespace quintara::ui
