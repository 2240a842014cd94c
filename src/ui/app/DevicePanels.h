#pragma once

#include <QRect>
#include <QWidget>

#include "core/Executor.h"
#include "core/link/NetworkLink.h"
#include "core/session/DeviceKinds.h"
#include "core/session/DeviceSession.h"
#include "ui/form/DpiScale.h"

namespace quintara::ui {

// What a device's panel is opened with: the session it shows and the window's parts it uses.
struct PanelPlace {
  DeviceSession& session;
  NetworkLink& network;  // the status socket, for a device that reports its changes
  Executor& executor;    // the window's thread
  const DpiScale& scale;
  QWidget* parent;
  QRect area;  // where the panel is shown
};

// Opens the panel of this kind of device in its place, shown and started (the state read, the
// listener running). The window owns it through the parent.
QWidget* OpenDevicePanel(DeviceKind kind, const PanelPlace& place);

}  // namespace quintara::ui
