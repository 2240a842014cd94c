#include "core/viewer/panel/MultiviewerPresenter.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "core/link/NetworkLink.h"
#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {

namespace {
constexpr std::string_view kCreateSocketFail = "create socket fail\n";
}  // namespace

MultiviewerPresenter::MultiviewerPresenter(DeviceSession& session, NetworkLink& network,
                                           Executor& executor)
    : session_(session), network_(network), executor_(executor), pages_(session, selections_) {
  session_.LendPanel(&selections_);
}

MultiviewerPresenter::~MultiviewerPresenter() {
  if (listener_) {
    listener_->Stop();
  }
  session_.LendPanel(nullptr);
}

void MultiviewerPresenter::ReadState(std::function<void(std::uint8_t firstPage)> opened) {
  DeviceSession& session = session_;
  // Unanswered, the panel opens all the same, on what the mirror held before.
  session.Runner().Start(
      kReadingStateText,
      lifetime_.GuardWork(
          ReadBackWork(session, [&session, opened = std::move(opened)](ExchangeOutcome) {
            ViewerState& viewer = session.Viewer();
            RefreshSwitcherGrid(viewer);
            RefreshLayout(viewer);
            for (const ColourTable table : {ColourTable::UmdBack, ColourTable::UmdText,
                                            ColourTable::FormatBack, ColourTable::FormatText}) {
              RefreshColours(viewer, table);
            }
            opened(PageSwitch::FirstPage(viewer));
          })));
}

bool MultiviewerPresenter::StartListener() {
  // Reports come over the network only, from a device with an address.
  if (!session_.Address()) {
    session_.AskForDevice();
    session_.Diagnostic(kCreateSocketFail);
    return false;
  }
  std::optional<UdpSocket> socket = network_.OpenStatusSocket();
  if (!socket) {
    session_.Diagnostic(kCreateSocketFail);
    ShowLiveUpdatesOff();
    return false;
  }
  listener_ = std::make_unique<StatusListener>(session_, std::move(*socket), executor_);
  listener_->Start();
  return true;
}

void MultiviewerPresenter::ShowLiveUpdatesOff() {
  const std::string& failure = network_.SetupFailure();
  // Most often a second window on the same machine holds the port.
  const std::string why =
      failure.ends_with(std::strerror(EADDRINUSE))
          ? "port " + std::to_string(network_.Config().statusPort) + " is in use"
          : failure;
  session_.ShowStatusNote(std::string(kLiveUpdatesOffText) + why);
}

}  // namespace quintara
