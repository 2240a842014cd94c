#include "core/viewer/panel/MultiviewerPresenter.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/Controller.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/ViewerRefresh.h"

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
    ShowLiveUpdatesOff();
    return false;
  }
  listener_ = std::make_unique<StatusListener>(controller_, std::move(*socket),
                                               controller_.SelectedOrEmptyEntry().DeviceIdentity,
                                               executor_);
  listener_->Start();
  return true;
}

void MultiviewerPresenter::ShowLiveUpdatesOff() {
  const std::string& failure = controller_.Network().SetupFailure();
  if (failure.empty()) {
    return;  // no device to listen to: the send refused it already
  }
  // Most often a second window on the same machine holds the port.
  const std::string why =
      failure.ends_with(std::strerror(EADDRINUSE))
          ? "port " + std::to_string(controller_.Network().Config().statusPort) + " is in use"
          : failure;
  controller_.ShowStatusNote(std::string(kLiveUpdatesOffText) + why);
}

}  // namespace quintara
