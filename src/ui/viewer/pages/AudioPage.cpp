#include "ui/viewer/pages/AudioPage.h"

#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {

AudioPage::AudioPage(DeviceSession& session, PanelSelections& selections, const DpiScale& scale,
                     QWidget* parent)
    : PageWidget(SkinId::AudioBackground, parent),
      presenter_(session, selections),
      controls_(BuildControls(AudioPageControls(), Colours(), *this, scale)) {
  FillLists();
  Show(presenter_.Shown());
  ConnectControls();
  attachment_ = session.ViewerViews().Attach(*this);
}

ShadeButton* AudioPage::Button(int id) const {
  return controls_.Get<ShadeButton>(id);
}

void AudioPage::FillLists() {
  QComboBox* source = List(AudioPageId::Source);
  source->addItem(QStringLiteral("OFF"));
  for (int window = 1; window <= 16; ++window) {
    source->addItem(QString::asprintf("WIN %d", window));
    List(AudioPageId::Window)->addItem(QString::asprintf("WIN %d", window));
  }
  for (int pair = 0; pair < 8; ++pair) {
    List(AudioPageId::Channels)
        ->addItem(QString::asprintf("CH %02d & %02d", 2 * pair + 1, 2 * pair + 2));
  }
}

void AudioPage::ConnectControls() {
  connect(List(AudioPageId::Source), &QComboBox::activated, this, [this](int item) {
    SelectQuietly(List(AudioPageId::Source), presenter_.ChooseSource(item));
  });
  connect(List(AudioPageId::Window), &QComboBox::activated, this,
          [this](int item) { ShowWindow(presenter_.ChooseWindow(item)); });
  connect(List(AudioPageId::Channels), &QComboBox::activated, this, [this](int item) {
    SelectQuietly(List(AudioPageId::Channels), presenter_.ChooseChannels(item));
  });
  controls_.OnClicked(AudioPageId::MeterOn, this,
                      [this] { MarkMeter(presenter_.ClickMeter(true)); });
  controls_.OnClicked(AudioPageId::MeterOff, this,
                      [this] { MarkMeter(presenter_.ClickMeter(false)); });
  controls_.OnClicked(AudioPageId::AllMeters, this, [this] {
    Button(AudioPageId::AllMeters)->ShowActive(presenter_.ClickAllMeters());
  });
}

void AudioPage::Show(const AudioView& shown) {
  SelectQuietly(List(AudioPageId::Source), shown.source);
  ShowWindow(shown);
  Button(AudioPageId::AllMeters)->ShowActive(shown.allMetersOn);
}

void AudioPage::ShowWindow(const AudioView& shown) {
  SelectQuietly(List(AudioPageId::Window), shown.window);
  MarkMeter(shown.meterOn);
  SelectQuietly(List(AudioPageId::Channels), shown.channels);
}

void AudioPage::MarkMeter(bool on) {
  Button(AudioPageId::MeterOn)->ShowActive(on);
  Button(AudioPageId::MeterOff)->ShowActive(!on);
}

void AudioPage::RefreshPage(std::uint8_t page) {
  if (page == ViewerPage::Audio) {
    Show(presenter_.Shown());
  }
}

void AudioPage::SelectionChanged(ViewerSelection what, int /*index*/, int item) {
  switch (what) {
    case ViewerSelection::AudioSource:
      SelectQuietly(List(AudioPageId::Source), item);
      break;
    case ViewerSelection::AudioWindow:
      SelectQuietly(List(AudioPageId::Window), item);
      break;
    case ViewerSelection::MeterChannels:
      SelectQuietly(List(AudioPageId::Channels), item);
      break;
    default:
      break;
  }
}

void AudioPage::SwitchChanged(ViewerSwitch what, int /*index*/, bool on) {
  if (what == ViewerSwitch::MeterOn) {
    MarkMeter(on);
  } else if (what == ViewerSwitch::AllMeters) {
    Button(AudioPageId::AllMeters)->ShowActive(on);
  }
}

}  // namespace quintara::ui
