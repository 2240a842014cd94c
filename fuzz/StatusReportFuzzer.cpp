// Datagrams arriving on the status socket, taken as the listener takes them and applied to the
// mirror, the preview and the page shown. A report the rules drop changes nothing and shows
// nothing.
#include <array>

#include "core/viewer/panel/MultiviewerPresenter.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusReports.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/PanelDouble.h"

namespace quintara::fuzz {
namespace {

// The connected device's identity: the first simulated multiviewer's.
constexpr std::array<std::uint8_t, 4> kIdentity{0x51, 0x54, 0x00, 0x01};
constexpr std::uint8_t kPageChoices = 7;  // none, then the six pages

}  // namespace

void FeedStatusReports(Input input) {
  if (input.empty()) {
    return;
  }
  ControllerRig rig(LinkKind::Lan);
  Controller& controller = rig.controller;
  InlineExecutor executor;
  MultiviewerPresenter presenter(controller.Session(), controller.Network(), executor);
  PanelDouble panel(controller);
  const auto switchPage = [&](std::uint8_t choice) {
    const auto page = static_cast<std::uint8_t>(choice % kPageChoices);
    if (page != 0 && presenter.SwitchPage(page)) {
      panel.Open(page);
    }
  };
  switchPage(input[0]);

  for (const Message& datagram : SplitMessages(input.subspan(1))) {
    // No report is one byte long: such a message stands for the operator choosing a tab.
    if (datagram.size() == 1) {
      switchPage(datagram[0]);
      continue;
    }
    if (!IsReportOf(datagram, kIdentity)) {
      continue;
    }
    const std::uint8_t code = datagram[frame::kCommandCodeOffset];
    static_cast<void>(DescribeReport(datagram));
    if (IsReReadReport(code)) {
      // Nothing answers this read-back: the image the mirror holds is decoded again.
      static_cast<void>(ReadBack(controller.Session()));
      FinishReRead(controller.Session(), code);
      continue;
    }
    const ViewerState before = controller.Session().Viewer();
    const int notified = panel.Notifications();
    if (!ApplyStatusReport(controller.Session(), datagram)) {
      QUINTARA_FUZZ_CHECK(controller.Session().Viewer() == before);
      QUINTARA_FUZZ_CHECK(panel.Notifications() == notified);
    }
  }
}

}  // namespace quintara::fuzz
