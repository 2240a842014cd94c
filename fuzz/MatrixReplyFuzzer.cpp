// What arrives while a matrix panel opens (status and backlight queries) and refreshes, judged
// by the queries' own judges on the network or the serial line. An accepted reply's fields land
// in the state; the status row shows only inputs the switcher has.
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>

#include "core/matrix/MatrixCommands.h"
#include "core/matrix/MatrixPresenter.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"

namespace quintara::fuzz {
namespace {

class PanelView final : public MatrixPanelView {
 public:
  void ShowMatrix() override {}
};

// One controller for the whole run: its serial port is open on a pseudo-terminal nothing
// talks on, so the queries take place on the serial line too (their exchanges run on the
// scripted link). Every feed starts it afresh.
struct MatrixRig {
  MatrixRig() {
    char path[256] = {};
    if (openpty(&master, &slave, path, nullptr, nullptr) == 0) {
      serialOpen = rig.controller.SerialPort().SerialOpen(path, 9600);
    }
  }
  ~MatrixRig() {
    rig.controller.SerialPort().SerialClose();
    close(master);
    close(slave);
  }
  MatrixRig(const MatrixRig&) = delete;
  MatrixRig& operator=(const MatrixRig&) = delete;

  ControllerRig rig{LinkKind::Lan};
  int master = -1;
  int slave = -1;
  bool serialOpen = false;
};

// Whether a status reply holds its fixed fields, without which nothing of it is applied.
bool StatusParses(const Message& reply, std::uint8_t type) {
  const std::size_t nameLength = type == kSixteenChannelType ? 37 : 28;
  return reply.size() > std::max<std::size_t>(nameLength, 33);
}

// The status reply's fields as the state holds them after it was applied.
void CheckStatusApplied(Controller& controller, const Message& reply, std::uint8_t type) {
  const std::size_t lock = type == kSixteenChannelType ? 34 : 26;
  const MatrixState& matrix = controller.Session().Matrix();
  QUINTARA_FUZZ_CHECK(
      std::equal(matrix.statusTable.begin(), matrix.statusTable.end(), reply.begin() + 18));
  QUINTARA_FUZZ_CHECK(controller.Session().LockState() == reply[lock]);
  QUINTARA_FUZZ_CHECK(controller.Session().AddressMode() == reply[lock + 1]);
  if (type == kSixteenChannelType) {
    QUINTARA_FUZZ_CHECK(matrix.outputFormatIndex < MatrixFormatTable.size());
  }
}

void CheckBacklightApplied(const MatrixState& matrix, const Message& reply) {
  if (reply.size() >= 20) {
    QUINTARA_FUZZ_CHECK(matrix.backlightTime == reply[18]);
    QUINTARA_FUZZ_CHECK(matrix.backlightBrightness == reply[19]);
  }
}

}  // namespace

void FeedMatrixReplies(Input input) {
  static MatrixRig matrixRig;
  if (input.empty()) {
    return;
  }
  const bool serial = (input[0] & 0x01) != 0;
  if (serial && !matrixRig.serialOpen) {
    return;
  }
  const std::uint8_t type = (input[0] & 0x02) != 0 ? kSixteenChannelType : kEightChannelType;
  const LinkKind kind = serial ? LinkKind::Serial : LinkKind::Lan;
  ControllerRig& rig = matrixRig.rig;
  ScriptedLink link(kind, Ipv4Address::Loopback());
  for (const Message& arrival : SplitMessages(input.subspan(1))) {
    link.Add(arrival);
  }
  Controller& controller = rig.controller;
  controller.UseLink(&link);
  controller.SetLinkKind(kind);
  controller.Session().Matrix() = MatrixState{};
  controller.Session().SetLockState((input[0] & 0x04) != 0 ? 1 : 0);
  controller.Session().SetAddressMode(kDhcp);

  PanelView view;
  {
    MatrixPresenter presenter(controller.Session(), type, view);
    presenter.Open();
    QUINTARA_FUZZ_CHECK(link.Answers().size() == 2);
    std::optional<Message> status = link.Answers()[0];
    if (const std::optional<Message>& backlight = link.Answers()[1]) {
      CheckBacklightApplied(controller.Session().Matrix(), *backlight);
    }
    if (presenter.Refresh({}) && link.Answers().back()) {
      status = link.Answers().back();
    }
    if (status && StatusParses(*status, type)) {
      CheckStatusApplied(controller, *status, type);
    }
    for (int output = 1; output <= presenter.Channels(); ++output) {
      const std::uint8_t shown = presenter.StatusShown(output);
      QUINTARA_FUZZ_CHECK(shown <= presenter.Channels());
    }
  }
  controller.UseLink(nullptr);
}

}  // namespace quintara::fuzz
