#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/Executor.h"
#include "core/session/Lifetime.h"
#include "core/viewer/panel/PageSwitch.h"
#include "core/viewer/panel/PanelSelections.h"
#include "core/viewer/protocol/StatusListener.h"

namespace quintara {

class DeviceSession;
class NetworkLink;

// The multiviewer panel's life apart from its drawing: the read-back it opens with, the page it
// shows first, the page switches, the panel's selections (lent to the session while the
// presenter lives), and the status listener it runs. The listener ends, and its
// worker is joined, before the presenter is gone.
class MultiviewerPresenter {
 public:
  // No page shown yet. The status socket comes from the network link.
  MultiviewerPresenter(DeviceSession& session, NetworkLink& network, Executor& executor);
  ~MultiviewerPresenter();
  MultiviewerPresenter(const MultiviewerPresenter&) = delete;
  MultiviewerPresenter& operator=(const MultiviewerPresenter&) = delete;

  // Reads the device's whole state (an exchange started on the controller's runner) and, once
  // it is in, brings the derived tables up to date and hands `opened` the page to open with;
  // not once the presenter has gone.
  void ReadState(std::function<void(std::uint8_t firstPage)> opened);
  // A tab: whether and from which page the panel switches.
  std::optional<PageSwitch::Change> SwitchPage(std::uint8_t page) {
    return pages_.SwitchPage(page);
  }
  // Starts the status listener for the selected device. Without a status socket the panel
  // works on, without reports ("create socket fail\n", and the status line says why); false
  // then.
  bool StartListener();
  PanelSelections& Selections() { return selections_; }
  bool ListenerRunning() const { return listener_ && listener_->Running(); }
  // The listener, while there is one.
  StatusListener* Listener() { return listener_.get(); }

 private:
  void ShowLiveUpdatesOff();

  DeviceSession& session_;
  NetworkLink& network_;
  Executor& executor_;
  PanelSelections selections_;
  PageSwitch pages_;
  std::unique_ptr<StatusListener> listener_;
  Lifetime lifetime_;
};

}  // namespace quintara
