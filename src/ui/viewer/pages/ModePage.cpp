#include "ui/viewer/pages/ModePage.h"

#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {

ModePage::ModePage(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : PageWidget(SkinId::ModeBackground, parent),
      session_(session),
      presenter_(session),
      controls_(BuildControls(ModePageControls(), Colours(), *this, scale)),
      windowCount_(controls_.Get<QComboBox>(ModePageId::WindowCount)) {
  SetUpControls();
  ConnectControls();
  attachment_ = session_.ViewerViews().Attach(*this);
}

QComboBox* ModePage::SourceList(int window) const {
  return controls_.Get<QComboBox>(ModePageId::Source(window));
}

void ModePage::SetUpControls() {
  for (const char* item : WindowCountItems()) {
    windowCount_->addItem(QString::fromLatin1(item));
  }
  SelectQuietly(windowCount_, 0);
  RefreshLayoutControls();
  for (int w = 1; w <= 16; ++w) {
    for (int input = 1; input <= 16; ++input) {
      SourceList(w)->addItem(QString::asprintf("SDI_%02d", input));
    }
  }
  ShowSources();
}

void ModePage::ShowSources() {
  const ViewerState& viewer = session_.Viewer();
  for (int w = 1; w <= 16; ++w) {
    SelectQuietly(SourceList(w),
                  ModePresenter::ItemOfInput(viewer.WindowSource[static_cast<std::size_t>(w - 1)]));
  }
  presenter_.TakeShownSources();
}

void ModePage::ConnectControls() {
  for (const LayoutButton& button : LayoutButtons()) {
    controls_.OnClicked(button.id, this, [this, code = button.code] {
      if (const auto click = presenter_.ClickLayout(code)) {
        if (click->unlit) {
          LightButton(*click->unlit, false);
        }
        LightButton(click->lit, true);
      }
    });
  }
  connect(windowCount_, &QComboBox::currentIndexChanged, this, [this](int item) {
    const ModePresenter::CountChoice choice = ModePresenter::ChooseWindowCount(item);
    ShowGroup(choice.visibleGroup);
    EnableSourceLists(choice.enabledSourceLists);
  });
  for (int w = 1; w <= 16; ++w) {
    connect(SourceList(w), &QComboBox::currentIndexChanged, this,
            [this, w](int item) { ChooseSource(w, item); });
  }
}

void ModePage::RefreshLayoutControls() {
  const ModeLayoutView shown = presenter_.RefreshLayoutControls();
  if (shown.windowCountItem) {
    SelectQuietly(windowCount_, *shown.windowCountItem);
  }
  for (const LayoutButton& button : LayoutButtons()) {
    LightButton(button.code, false);
  }
  ShowGroup(shown.visibleGroup);
  if (shown.highlighted) {
    LightButton(*shown.highlighted, true);
  }
  EnableSourceLists(shown.enabledSourceLists);
}

void ModePage::ShowGroup(std::optional<std::uint8_t> group) {
  for (const LayoutButton& button : LayoutButtons()) {
    controls_.Find(button.id)->setVisible(group && button.group == *group);
  }
}

void ModePage::LightButton(std::uint8_t code, bool lit) {
  if (const LayoutButton* button = LayoutButtonOf(code)) {
    controls_.Get<ShadeButton>(button->id)->ShowActive(lit);
  }
}

void ModePage::EnableSourceLists(std::uint8_t count) {
  for (int w = 1; w <= 16; ++w) {
    SourceList(w)->setEnabled(w <= count);
  }
}

void ModePage::ChooseSource(int window, int item) {
  if (const auto snapBack = presenter_.ChooseSource(static_cast<std::uint8_t>(window), item)) {
    SelectQuietly(SourceList(window), *snapBack);
  }
}

void ModePage::RefreshPage(std::uint8_t page) {
  if (page == ViewerPage::Mode) {
    RefreshLayoutControls();
    // A re-read may have moved any window's source.
    ShowSources();
  }
}

void ModePage::SelectionChanged(ViewerSelection what, int index, int item) {
  if (what == ViewerSelection::ModeSource && index >= 1 && index <= 16) {
    SelectQuietly(SourceList(index), item);
    presenter_.SourceShown(static_cast<std::uint8_t>(index), item);
  }
}

}  // namespace quintara::ui
