#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "core/Controller.h"
#include "support/FakeLink.h"
#include "support/TestLink.h"

namespace quintara::test {

// A controller whose link is a FakeLink: the pages' rules are tested against it without sockets.
class FakeLinkFixture : public ::testing::Test {
 protected:
  FakeLinkFixture() : controller(LinkConfig{}, LinkTiming{}, clock, prompter, observer) {
    controller.UseLink(&link);
  }

  ViewerState& viewer() { return controller.Session().Viewer(); }
  // The selections of a panel open on the current session.
  PanelSelections& panel() { return LendPanel(controller.Session(), selections); }
  // (code, payload bytes) of every frame sent, in order.
  std::vector<std::vector<int>> Sent() const { return link.CodesAndPayloads(); }

  FakeLink link;
  PanelSelections selections;
  SystemClock clock;
  RecordingPrompter prompter;
  RecordingObserver observer;
  Controller controller;
};

}  // namespace quintara::test
