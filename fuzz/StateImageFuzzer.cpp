// A reply to the read-back, as the network and as the serial line deliver it, decoded into the
// mirror the panel opens on; then every page the panel can show, and the preview.
#include <algorithm>
#include <array>
#include <optional>

#include "core/viewer/panel/MultiviewerPresenter.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/PanelDouble.h"

namespace quintara::fuzz {
namespace {

constexpr std::array<std::uint8_t, 6> kPages{ViewerPage::Mode,     ViewerPage::Umd,
                                             ViewerPage::Colour,   ViewerPage::System,
                                             ViewerPage::Switcher, ViewerPage::Audio};

// The mirror holds what the image says; the derived tables follow it.
void CheckDecoded(const ViewerState& viewer) {
  const StateImageBytes& image = viewer.StateImage;
  QUINTARA_FUZZ_CHECK(viewer.LayoutCode == image[0]);
  QUINTARA_FUZZ_CHECK(
      std::equal(viewer.WindowSource.begin(), viewer.WindowSource.end(), image.begin() + 4));
  QUINTARA_FUZZ_CHECK(
      std::equal(viewer.SwitcherSource.begin(), viewer.SwitcherSource.end(), image.begin() + 20));
  for (const std::u16string& label : viewer.UmdText) {
    QUINTARA_FUZZ_CHECK(label.size() <= 17);  // 34 bytes of room
  }
  const std::span<const LayoutRect> windows = LayoutWindows(viewer.LayoutCode);
  QUINTARA_FUZZ_CHECK(std::equal(windows.begin(), windows.end(), viewer.WindowRects.begin()));
  QUINTARA_FUZZ_CHECK(std::all_of(
      viewer.WindowRects.begin() + static_cast<std::ptrdiff_t>(windows.size()),
      viewer.WindowRects.end(), [](const LayoutRect& rect) { return rect == LayoutRect{}; }));
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    QUINTARA_FUZZ_CHECK(viewer.SwitcherRects[k].number == viewer.SwitcherSource[k]);
  }
}

void ReadAndShow(LinkKind kind, Input reply) {
  ControllerRig rig(kind);
  rig.link.Add(Message(reply.begin(), reply.end()));
  Controller& controller = rig.controller;
  InlineExecutor executor;
  MultiviewerPresenter presenter(controller.Session(), controller.Network(), executor);
  PanelDouble panel(controller);

  std::optional<std::uint8_t> opened;
  presenter.ReadState([&opened](std::uint8_t firstPage) { opened = firstPage; });
  QUINTARA_FUZZ_CHECK(opened.has_value());  // the controller's runner runs it at once
  const std::uint8_t first = *opened;
  const std::optional<Message>& answer = rig.link.Answers().front();
  const bool taken =
      kind == LinkKind::Serial ? reply.size() >= kStateReplySize : IsStateReply(reply);
  QUINTARA_FUZZ_CHECK(answer.has_value() == taken);
  if (taken) {
    QUINTARA_FUZZ_CHECK(std::equal(controller.Session().Viewer().StateImage.begin(),
                                   controller.Session().Viewer().StateImage.end(),
                                   reply.begin() + kStateImageOffset));
  }
  CheckDecoded(controller.Session().Viewer());
  // Unanswered, nothing is decoded: the name field shows only what a reply named.
  QUINTARA_FUZZ_CHECK(rig.face.nameField.empty() == !taken);
  QUINTARA_FUZZ_CHECK(first == ViewerPage::Switcher || first == ViewerPage::Mode);

  if (presenter.SwitchPage(first)) {
    panel.Open(first);
  }
  for (const std::uint8_t page : kPages) {
    if (presenter.SwitchPage(page)) {
      panel.Open(page);
    }
  }
}

}  // namespace

void FeedStateReply(Input input) {
  ReadAndShow(LinkKind::Lan, input);
  ReadAndShow(LinkKind::Serial, input);
}

}  // namespace quintara::fuzz
