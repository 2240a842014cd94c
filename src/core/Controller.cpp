#include "core/Controller.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/link/SerialPortList.h"

namespace quintara {

Controller::Controller(LinkConfig config, LinkTiming timing, Clock& clock, Prompter& prompter,
                       ControllerObserver& observer)
    : timing_(timing),
      clock_(clock),
      prompter_(prompter),
      observer_(observer),
      network_(std::move(config), timing_, clock, observer_),
      serial_(serialPort_, timing_, clock),
      networkSearch_(devices_, timing_, clock),
      serialSearch_(devices_, serialSearchImage_, timing_, clock) {}

void Controller::Search(const SearchStop& stop) {
  devices_.SetSelectedIndex(-1);
  if (linkKind_ == LinkKind::Lan) {
    SearchNetwork(stop);
  } else {
    SearchSerial();
  }
}

void Controller::SearchNetwork(const SearchStop& stop) {
  // The panel shows a device the search is about to forget.
  observer_.CloseDevicePanel();
  if (!networkSearch_.SearchNetwork(ActiveLink(), linkKind_, observer_, stop)) {
    prompter_.ShowError(kCreateSocketError);
  }
}

void Controller::SearchSerial() {
  if (!serialPort_.IsOpen()) {
    prompter_.ShowError(kOpenSerialPortError);
    return;
  }
  observer_.CloseDevicePanel();
  serialSearch_.SearchSerial(ActiveLink(), linkKind_, observer_);
}

Link& Controller::ActiveLink() {
  if (linkReplacement_ != nullptr) {
    return *linkReplacement_;
  }
  return linkKind_ == LinkKind::Lan ? static_cast<Link&>(network_) : serial_;
}

bool Controller::OpenSelectedPort(std::string_view portName, std::string_view baudText) {
  if (serialPort_.IsOpen()) {
    serialPort_.SerialClose(CnComm::kCloseWaitMs);
  }
  return serialPort_.SerialOpen(portName, BaudRateFromText(baudText));
}

std::shared_ptr<DeviceSession> Controller::SelectedSession() {
  std::shared_ptr<DeviceSession> session = SessionFor(devices_.SelectedIndex());
  if (!session) {
    session = placeholder_;
  }
  if (session.get() != shown_) {
    if (shown_ != nullptr) {
      shown_->SetObserver(nullptr);
    }
    session->SetObserver(&observer_);
    shown_ = session.get();
  }
  return session;
}

std::shared_ptr<DeviceSession> Controller::SessionFor(int index) {
  ForgetLostSessions();
  if (index < 0 || static_cast<std::size_t>(index) >= DeviceTable::kCapacity) {
    return nullptr;
  }
  const auto at = static_cast<std::size_t>(index);
  const DeviceEntry& entry = devices_.Table().Entry(at);
  const std::string line = at < devices_.Lines().size() ? devices_.Lines()[at] : std::string();
  const auto known = std::ranges::find_if(
      sessions_, [&entry](const auto& session) { return session->Entry() == entry; });
  if (known != sessions_.end()) {
    (*known)->SetListLine(line);
    return *known;
  }
  auto session = std::make_shared<DeviceSession>(entry, line, *this);
  if (linkKind_ == LinkKind::Serial) {
    session->Viewer().StateImage = serialSearchImage_;
  }
  sessions_.push_back(session);
  return session;
}

void Controller::ForgetLostSessions() {
  if (sessionsSearch_ == devices_.SearchCount()) {
    return;
  }
  sessionsSearch_ = devices_.SearchCount();
  const DeviceTable& table = devices_.Table();
  std::erase_if(sessions_, [&](const std::shared_ptr<DeviceSession>& session) {
    for (std::size_t i = 0; i < table.Count(); ++i) {
      if (table.Entry(i) == session->Entry()) {
        return false;
      }
    }
    if (shown_ == session.get()) {
      shown_ = nullptr;
    }
    return true;
  });
}

}  // namespace quintara
