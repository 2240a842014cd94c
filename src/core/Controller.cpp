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
      serial_(serialPort_, timing_, clock) {}

void Controller::Search(const SearchStop& stop) {
  if (const WireWork work = SearchWork(stop)) {
    work()();
  }
}

void Controller::StartSearch(Continuation then, const SearchStop& stop) {
  WireWork work = SearchWork(stop);
  if (!work) {
    return;
  }
  Runner().Start(kSearchingText,
                 [work = std::move(work), then = std::move(then)]() -> Continuation {
                   return [apply = work(), then] {
                     apply();
                     then();
                   };
                 });
}

void Controller::SearchNetwork(const SearchStop& stop) {
  NetworkSearchWork(stop)()();
}

void Controller::SearchSerial() {
  if (const WireWork work = SerialSearchWork()) {
    work()();
  }
}

WireWork Controller::SearchWork(const SearchStop& stop) {
  devices_.SetSelectedIndex(-1);
  return linkKind_ == LinkKind::Lan ? NetworkSearchWork(stop) : SerialSearchWork();
}

WireWork Controller::NetworkSearchWork(const SearchStop& stop) {
  // The panel shows a device the search is about to forget.
  observer_.CloseDevicePanel();
  devices_.ShowSearchStarting(observer_);
  return Applying<NetworkFind>(
      [&link = ActiveLink(), discover = BuildDiscoverFrame(linkKind_, clock_.LocalNow()),
       timing = timing_, &clock = clock_,
       stop] { return NetworkSearch(timing, clock).SearchNetwork(link, discover, stop); },
      [this](const NetworkFind& found) { ApplyNetworkSearch(found); });
}

void Controller::ApplyNetworkSearch(const NetworkFind& found) {
  NetworkSearch::Conclude(found, devices_, observer_);
  if (!found.sent) {
    prompter_.ShowError(kCreateSocketError);
  }
}

WireWork Controller::SerialSearchWork() {
  if (!serialPort_.IsOpen()) {
    prompter_.ShowError(kOpenSerialPortError);
    return {};
  }
  observer_.CloseDevicePanel();
  devices_.ShowSearchStarting(observer_);
  return Applying<SerialFind>(
      [&link = ActiveLink(), discover = BuildDiscoverFrame(linkKind_, clock_.LocalNow()),
       timing = timing_, &clock = clock_, imageSize = serialSearchImage_.size()] {
        return SerialSearch(imageSize, timing, clock).SearchSerial(link, discover);
      },
      [this](const SerialFind& found) {
        SerialSearch::Conclude(found, devices_, serialSearchImage_, observer_);
      });
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
