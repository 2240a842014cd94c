#include "core/viewer/MultiviewerPresenter.h"

#include "core/Controller.h"
#include "core/viewer/ReadBack.h"
#include "core/viewer/ViewerRefresh.h"

namespace quintara {

namespace {
constexpr std::string_view kCreateSocketFail = "create socket fail\n";
}  // namespace

MultiviewerPresenter::MultiviewerPresenter(Controller& controller, Executor& executor)
    : controller_(controller), executor_(executor), pages_(controller) {
  controller_.Viewer().CurrentPage = 0;
}

MultiviewerPresenter::~MultiviewerPresenter() {
  if (listener_) {
    listener_->Stop();
  }
}

std::uint8_t MultiviewerPresenter::ReadState() {
  Controller& controller = controller_;
  // Unanswered, the panel opens all the same, on what the mirror held before.
  controller.Runner().Run(kReadingStateText,
                          [&controller] { static_cast<void>(ReadBack(controller)); });
  ViewerState& viewer = controller_.Viewer();
  RefreshSwitcherGrid(viewer);
  RefreshLayout(viewer);
  for (const ColourTable table : {ColourTable::UmdBack, ColourTable::UmdText,
                                  ColourTable::FormatBack, ColourTable::FormatText}) {
    RefreshColours(viewer, table);
  }
  return PageSwitch::FirstPage(viewer);
}

bool MultiviewerPresenter::StartListener() {
  std::optional<UdpSocket> socket = controller_.Network().OpenStatusSocket();
  if (!socket) {
    controller_.Diagnostic(kCreateSocketFail);
    return false;
  }
  listener_ = std::make_unique<StatusListener>(controller_, std::move(*socket),
                                               controller_.SelectedOrEmptyEntry().DeviceIdentity,
                                               executor_);
  listener_->Start();
  return true;
}

}  // namespace quintara
