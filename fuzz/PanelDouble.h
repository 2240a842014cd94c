#pragma once

#include <cstdint>
#include <optional>

#include "core/Controller.h"
#include "core/Views.h"
#include "core/viewer/panel/AudioPresenter.h"
#include "core/viewer/panel/ColourPresenter.h"
#include "core/viewer/panel/ModePresenter.h"
#include "core/viewer/panel/SwitcherPresenter.h"
#include "core/viewer/panel/SystemPresenter.h"
#include "core/viewer/panel/UmdPresenter.h"
#include "core/viewer/panel/ViewerView.h"

namespace quintara::fuzz {

// The multiviewer panel without its widgets, beside a real panel presenter. It opens a page as
// the panel does and answers every notification as the open page and the preview would: what
// they read from the page's presenter, the panel's selections and the mirror. It checks what
// core hands it on the way.
class PanelDouble final : public ViewerView {
 public:
  explicit PanelDouble(Controller& controller);

  // The page a completed switch shows (numbers as CurrentPage); the page reads what it shows.
  void Open(std::uint8_t page);

  void RepaintPreview() override;
  void RefreshPage(std::uint8_t page) override;
  void SelectionChanged(ViewerSelection what, int index, int item) override;
  void SwitchChanged(ViewerSwitch what, int index, bool on) override;

  // How many notifications arrived so far.
  int Notifications() const { return notifications_; }

 private:
  // The selections the panel's presenter lends the session.
  PanelSelections& Selections();
  // What the open page reads from its presenter when it fills its controls.
  void ShowPage();
  void ShowModePage();
  void ShowSwitcherPage();
  void ShowUmdPage();
  void ShowAudioPage();
  void ShowColourPage();
  void ShowSystemPage();
  // What the preview reads to draw one window of the layout.
  void DrawWindow(std::size_t index);

  Controller& controller_;
  std::uint8_t page_ = 0;
  std::optional<ModePresenter> mode_;
  std::optional<SwitcherPresenter> switcher_;
  std::optional<UmdPresenter> umd_;
  std::optional<AudioPresenter> audio_;
  std::optional<ColourPresenter> colour_;
  std::optional<SystemPresenter> system_;
  int notifications_ = 0;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::fuzz
