#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/ExchangeRunner.h"
#include "core/matrix/MatrixCommands.h"
#include "core/matrix/MatrixState.h"
#include "core/session/Lifetime.h"

namespace quintara {

class DeviceSession;

// The action buttons of a matrix panel, numbered as activeAction stores them.
enum class MatrixAction : std::uint8_t { None = 0, Apply = 1, OneToAll = 2, OneToOne = 3 };

// How long Refresh stays lit after a click.
inline constexpr int kRefreshLitMs = 2000;

// What the presenter asks of its panel: to show what it now says. Always on the panel's thread.
class MatrixPanelView {
 public:
  virtual ~MatrixPanelView() = default;
  virtual void ShowMatrix() = 0;
};

// A matrix switcher panel's rules, for eight or sixteen channels: the input chosen, the outputs
// marked for it, the routes sent, what the output and status rows and the action buttons show,
// and the backlight and output format settings. The panel draws what this says and forwards
// the operator's clicks; while the device is locked they change nothing and send nothing.
class MatrixPresenter {
 public:
  // panelType: kEightChannelType or kSixteenChannelType.
  MatrixPresenter(DeviceSession& session, std::uint8_t panelType, MatrixPanelView& panel);
  MatrixPresenter(const MatrixPresenter&) = delete;
  MatrixPresenter& operator=(const MatrixPresenter&) = delete;

  int Channels() const { return static_cast<int>(commands_.Outputs()); }

  // Starts with no input chosen and asks the switcher for its status and backlight (an
  // exchange started on the controller's runner); the panel shows what it answered.
  void Open();

  // The rows' buttons, numbered 1..Channels().
  void SelectInput(int input);
  void ToggleOutput(int output);
  void Apply();
  void OneToAll();
  void OneToOne();
  // Lights Refresh and reads the status again; true when it did. Once the status is shown,
  // `queried` runs (not once the presenter has gone), and the panel then puts the light out
  // kRefreshLitMs later with RefreshEnded.
  bool Refresh(Continuation queried);
  void RefreshEnded();

  // The lists, as the operator picks an item. Refused while locked: the list shows the stored
  // choice again.
  void ChooseBacklightTime(int item);
  void ChooseOutputFormat(int item);
  // The track bar moved (by mouse, keyboard or program): the value follows it, nothing is sent.
  void MoveBrightness(int position);
  // A mouse button released over the track bar: the brightness is sent, once.
  void ReleaseBrightness(int position);

  // What the panel shows.
  bool InputLit(int input) const { return input == matrix().selectedInput; }
  bool OutputLit(int output) const { return outputLit_[Index(output)]; }
  // The input whose green number the status button of the output shows; 0 while it still shows
  // its own grey number.
  std::uint8_t StatusShown(int output) const { return statusShown_[Index(output)]; }
  MatrixAction ActiveAction() const { return static_cast<MatrixAction>(matrix().activeAction); }
  bool RefreshLit() const { return refreshLit_; }
  int BacklightTimeItem() const { return matrix().backlightTime; }
  int Brightness() const { return matrix().backlightBrightness; }
  int OutputFormatItem() const { return matrix().outputFormatIndex; }
  // The format list takes input only for a switcher that reported the family's model name.
  bool OutputFormatEnabled() const { return outputFormatEnabled_; }

 private:
  static std::size_t Index(int channel) { return static_cast<std::size_t>(channel - 1); }
  const MatrixState& matrix() const;
  MatrixState& matrix();
  // True while the device is locked; the status line then says the change was refused.
  bool RefusedWhileLocked();
  bool Offers(int channel) const { return channel >= 1 && channel <= Channels(); }
  // Reads the status, and the backlight too when asked; then what is due on the panel's
  // thread.
  void Query(bool backlight, Continuation then);
  // What the queries answered, on the panel's thread; nothing was asked on a closed serial line.
  void ShowAnswers(bool asked, const MatrixReply& status, const MatrixReply& backlight);
  void ShowAction(MatrixAction action);
  void RefreshOutputs(std::uint8_t input);
  void RefreshStatus();

  DeviceSession& session_;
  MatrixCommands commands_;
  MatrixPanelView& panel_;
  std::array<bool, kMatrixTableSize> outputLit_{};
  std::array<std::uint8_t, kMatrixTableSize> statusShown_{};
  bool refreshLit_ = false;
  bool outputFormatEnabled_ = false;
  // The brightness the switcher was last told or reported; a refused release goes back to it.
  std::uint8_t deviceBrightness_ = 0;
  Lifetime lifetime_;
};

}  // namespace quintara
