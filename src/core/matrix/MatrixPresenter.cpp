#include "core/matrix/MatrixPresenter.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/ExchangeRunner.h"
#include "core/session/DeviceSession.h"

namespace quintara {

MatrixPresenter::MatrixPresenter(DeviceSession& session, std::uint8_t panelType,
                                 MatrixPanelView& panel)
    : session_(session), commands_(session, panelType), panel_(panel) {}

const MatrixState& MatrixPresenter::matrix() const {
  return session_.Matrix();
}

MatrixState& MatrixPresenter::matrix() {
  return session_.Matrix();
}

bool MatrixPresenter::RefusedWhileLocked() {
  return session_.RefuseWhileLocked();
}

void MatrixPresenter::Open() {
  MatrixState& state = matrix();
  if (Channels() == 8) {
    // The eight-channel panel forgets the backlight it showed last; the sixteen-channel one
    // keeps it for a switcher that does not answer.
    state.backlightTime = 0;
    state.backlightBrightness = 0;
  }
  outputFormatEnabled_ = session_.Entry().ModelMatch != 0;
  state.selectedInput = 0;
  // The action buttons open unlit, so none of them counts as shown.
  state.activeAction = 0;
  Query(true, [this] {
    deviceBrightness_ = matrix().backlightBrightness;
    panel_.ShowMatrix();
  });
}

void MatrixPresenter::Query(bool backlight, Continuation then) {
  DeviceSession& session = session_;
  session.Runner().Start(
      kReadingStateText,
      lifetime_.GuardWork([this, &session, status = commands_.StatusQuery(),
                           light = backlight ? commands_.BacklightQuery() : std::nullopt,
                           then = std::move(then)]() -> Continuation {
        MatrixReply statusReply = status ? MatrixCommands::Ask(session, *status) : std::nullopt;
        MatrixReply lightReply = light ? MatrixCommands::Ask(session, *light) : std::nullopt;
        return [this, asked = status.has_value(), statusReply = std::move(statusReply),
                lightReply = std::move(lightReply), then] {
          ShowAnswers(asked, statusReply, lightReply);
          then();
        };
      }));
}

void MatrixPresenter::ShowAnswers(bool asked, const MatrixReply& status,
                                  const MatrixReply& backlight) {
  const bool answered = asked && commands_.ApplyStatusReply(status);
  static_cast<void>(commands_.ApplyBacklightReply(backlight));
  // Answered or not, the status row shows the tables, unless the query never took place.
  if (asked) {
    session_.NoteExchange(answered);
    RefreshStatus();
  }
}

void MatrixPresenter::SelectInput(int input) {
  MatrixState& state = matrix();
  if (RefusedWhileLocked() || !Offers(input) || input == state.selectedInput) {
    return;
  }
  state.pendingMarks.fill(0);
  state.selectedInput = static_cast<std::uint8_t>(input);
  RefreshOutputs(state.selectedInput);
  state.activeAction = static_cast<std::uint8_t>(MatrixAction::None);
  panel_.ShowMatrix();
}

void MatrixPresenter::ToggleOutput(int output) {
  MatrixState& state = matrix();
  if (RefusedWhileLocked() || !Offers(output) || state.selectedInput == 0) {
    return;
  }
  std::uint8_t& mark = state.pendingMarks[Index(output)];
  mark = mark == state.selectedInput ? 0 : state.selectedInput;
  RefreshOutputs(state.selectedInput);
  panel_.ShowMatrix();
}

void MatrixPresenter::Apply() {
  const MatrixState& state = matrix();
  if (RefusedWhileLocked() || state.selectedInput == 0) {
    return;
  }
  if (Channels() == 16) {
    // The sixteen-channel panel does not even light Apply while nothing is marked or routed.
    const auto channels = static_cast<std::ptrdiff_t>(Channels());
    const auto matches = [&state](std::uint8_t input) { return input == state.selectedInput; };
    if (std::none_of(state.pendingMarks.begin(), state.pendingMarks.begin() + channels, matches) &&
        std::none_of(state.routeTable.begin(), state.routeTable.begin() + channels, matches)) {
      return;
    }
  }
  ShowAction(MatrixAction::Apply);
  if (commands_.RouteToOutputs(state.selectedInput, state.MarkedOutputs()) == CommandResult::Sent) {
    RefreshStatus();
  }
  panel_.ShowMatrix();
}

void MatrixPresenter::OneToAll() {
  if (RefusedWhileLocked() || matrix().selectedInput == 0) {
    return;
  }
  ShowAction(MatrixAction::OneToAll);
  if (commands_.RouteToAll(matrix().selectedInput) == CommandResult::Sent) {
    RefreshOutputs(matrix().selectedInput);
    RefreshStatus();
  }
  panel_.ShowMatrix();
}

void MatrixPresenter::OneToOne() {
  if (RefusedWhileLocked()) {
    return;
  }
  ShowAction(MatrixAction::OneToOne);
  if (commands_.RouteOneToOne() == CommandResult::Sent) {
    matrix().selectedInput = 0;
    outputLit_.fill(false);
    RefreshStatus();
  }
  panel_.ShowMatrix();
}

bool MatrixPresenter::Refresh(Continuation queried) {
  if (RefusedWhileLocked()) {
    return false;
  }
  refreshLit_ = true;
  panel_.ShowMatrix();
  Query(false, [this, queried = std::move(queried)] {
    panel_.ShowMatrix();
    if (queried) {
      queried();
    }
  });
  return true;
}

void MatrixPresenter::RefreshEnded() {
  refreshLit_ = false;
  panel_.ShowMatrix();
}

void MatrixPresenter::ChooseBacklightTime(int item) {
  if (!RefusedWhileLocked() && item >= 0 &&
      static_cast<std::size_t>(item) < kBacklightTimeTexts.size()) {
    static_cast<void>(commands_.SetBacklightTime(static_cast<std::uint8_t>(item)));
  }
  panel_.ShowMatrix();
}

void MatrixPresenter::ChooseOutputFormat(int item) {
  if (!RefusedWhileLocked() && item >= 0 &&
      static_cast<std::size_t>(item) < MatrixFormatTable.size()) {
    static_cast<void>(commands_.SetMatrixOutputFormat(static_cast<std::uint8_t>(item)));
  }
  panel_.ShowMatrix();
}

void MatrixPresenter::MoveBrightness(int position) {
  matrix().backlightBrightness = static_cast<std::uint8_t>(std::clamp<int>(position, 0, 255));
}

void MatrixPresenter::ReleaseBrightness(int position) {
  MoveBrightness(position);
  if (Channels() == 8) {
    char line[32];
    std::snprintf(line, sizeof line, "send data is %d \n", position);
    session_.Diagnostic(line);
  }
  if (RefusedWhileLocked()) {
    // Refused: the track bar goes back to what the switcher has.
    matrix().backlightBrightness = deviceBrightness_;
    panel_.ShowMatrix();
    return;
  }
  deviceBrightness_ = matrix().backlightBrightness;
  static_cast<void>(commands_.SetBacklightBrightness(deviceBrightness_));
}

void MatrixPresenter::ShowAction(MatrixAction action) {
  matrix().activeAction = static_cast<std::uint8_t>(action);
}

void MatrixPresenter::RefreshOutputs(std::uint8_t input) {
  const MatrixState& state = matrix();
  for (std::size_t o = 0; o < static_cast<std::size_t>(Channels()); ++o) {
    outputLit_[o] = state.routeTable[o] == input || state.pendingMarks[o] == input;
  }
}

void MatrixPresenter::RefreshStatus() {
  const MatrixState& state = matrix();
  for (std::size_t o = 0; o < static_cast<std::size_t>(Channels()); ++o) {
    // An output the switcher reports nothing for keeps what its button showed.
    if (state.statusTable[o] >= 1 && state.statusTable[o] <= Channels()) {
      statusShown_[o] = state.statusTable[o];
    }
  }
  session_.Observer().LockStateChanged(session_.LockState());
}

}  // namespace quintara
