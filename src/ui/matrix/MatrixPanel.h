#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "core/matrix/MatrixPresenter.h"
#include "core/session/DeviceSession.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"

class QComboBox;
class QLineEdit;
class QSlider;

namespace quintara::ui {

class ShadeButton;

// Where a matrix panel keeps its controls and pictures: the ids of its table and the skin ids
// of its numbers.
struct MatrixPanelLayout {
  std::uint8_t panelType;  // kEightChannelType or kSixteenChannelType
  int background;
  int (*number)(int n);     // the grey number n
  int (*numberLit)(int n);  // the green number n
  int (*input)(int n);      // control ids of the rows' button n
  int (*output)(int n);
  int (*status)(int n);
  int apply;
  int oneToAll;
  int oneToOne;
  int refresh;
  int backlightTime;
  int brightness;
  int brightnessText;
  int outputFormat;       // 0: the panel has no format list
  int outputFormatLabel;  // 0: none
};

// What both matrix panels share: the three rows of numbered buttons (inputs, outputs, the
// status of each output), the action buttons, the backlight settings and, on the sixteen-channel
// panel, the output format. The rules are the presenter's; the panel draws what it says.
class MatrixPanel : public QWidget, private MatrixPanelView {
  Q_OBJECT

 public:
  // Lists and edits: blue on the control grey; labels green on it.
  static ControlColours Colours();

  // Reads the switcher's status and backlight (the window keeps painting meanwhile) and shows
  // what it answered.
  void Open();

  const ControlSet& Controls() const { return controls_; }
  MatrixPresenter& Presenter() { return presenter_; }
  ShadeButton* Button(int id) const;
  QComboBox* List(int id) const;
  QSlider* BrightnessBar() const { return brightness_; }
  QLineEdit* BrightnessText() const { return brightnessText_; }

 protected:
  MatrixPanel(DeviceSession& session, const MatrixPanelLayout& layout, ControlTable table,
              const DpiScale& scale, QWidget* parent);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void FillLists();
  void ConnectControls();
  void ShowMatrix() override;
  void ShowStatus(int output);
  void ShowBrightnessText(int position);

  MatrixPanelLayout layout_;
  ControlSet controls_;
  QSlider* brightness_;
  QLineEdit* brightnessText_;
  QTimer refreshTimer_;
  // The input each status button shows in green; 0 for its own grey number.
  std::array<std::uint8_t, kMatrixTableSize> statusDrawn_{};
  MatrixPresenter presenter_;
};

}  // namespace quintara::ui
