#include "ui/viewer/pages/UmdPage.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

// Unlike the other pages, the label fields write white.
ControlColours LabelColours() {
  return {{Qt::white, skin::ControlGround}, {Qt::black, skin::Green}};
}

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Focus taken by a pop-up (the field's own menu) or by another window leaves the edit going on;
// so does the window turning busy with an exchange, which disables the field mid-typing (a
// re-read then shows the device's labels anyway).
bool EndsEditing(const QWidget& field, const QFocusEvent& event) {
  return field.isEnabled() && event.reason() != Qt::PopupFocusReason &&
         event.reason() != Qt::ActiveWindowFocusReason;
}

}  // namespace

UmdPage::UmdPage(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : PageWidget(SkinId::UmdBackground, parent),
      session_(session),
      presenter_(session),
      controls_(BuildControls(UmdPageControls(), LabelColours(), *this, scale)),
      focusTarget_(controls_.Find(UmdPageId::FocusTarget)) {
  SetUpControls();
  ConnectControls();
  attachment_ = session_.ViewerViews().Attach(*this);
}

UmdPage::~UmdPage() {
  // A field losing the focus while the page goes must not reach a page that is half gone.
  for (int input = 1; input <= 16; ++input) {
    LabelField(input)->removeEventFilter(this);
  }
}

LimitedEdit* UmdPage::LabelField(int input) const {
  return controls_.Get<LimitedEdit>(UmdPageId::Label(input));
}

ShadeButton* UmdPage::UmdSwitch(int input) const {
  return controls_.Get<ShadeButton>(UmdPageId::UmdSwitch(input));
}

ShadeButton* UmdPage::AllUmdSwitch() const {
  return controls_.Get<ShadeButton>(UmdPageId::AllUmd);
}

void UmdPage::SetUpControls() {
  // Reached only from the page's own code, never by Tab.
  focusTarget_->setFocusPolicy(Qt::NoFocus);
  ShowSwitches();
  RefreshLabelTexts();
  for (int input = 1; input <= 16; ++input) {
    LabelField(input)->installEventFilter(this);
  }
}

void UmdPage::ConnectControls() {
  controls_.OnClicked(UmdPageId::AllUmd, this, [this] {
    if (const auto on = presenter_.ClickAllUmd()) {
      AllUmdSwitch()->ShowActive(*on);
    }
  });
  for (int input = 1; input <= 16; ++input) {
    controls_.OnClicked(UmdPageId::UmdSwitch(input), this, [this, input] {
      if (const auto on = presenter_.ClickUmdOn(static_cast<std::uint8_t>(input))) {
        UmdSwitch(input)->ShowActive(*on);
      }
    });
    connect(LabelField(input), &QLineEdit::textEdited, this,
            [this, input](const QString& edited) { EditLabel(input, edited); });
  }
}

void UmdPage::RefreshLabelTexts() {
  presenter_.TakeLabelTexts();
  for (int input = 1; input <= 16; ++input) {
    ShowLabel(input, presenter_.ShownText(static_cast<std::uint8_t>(input)));
  }
}

void UmdPage::ShowSwitches() {
  const ViewerState& viewer = session_.Viewer();
  AllUmdSwitch()->ShowActive(viewer.AllUmdOn != 0);
  for (int input = 1; input <= 16; ++input) {
    UmdSwitch(input)->ShowActive(viewer.UmdOn[static_cast<std::size_t>(input - 1)] == 1);
  }
}

void UmdPage::ShowLabel(int input, const std::u16string& text) {
  LabelField(input)->setText(QString::fromStdU16String(text));
}

void UmdPage::EditLabel(int input, const QString& edited) {
  const LimitedLabel kept =
      presenter_.EditLabel(static_cast<std::uint8_t>(input), edited.toStdU16String());
  if (kept.cut) {
    LimitedEdit* field = LabelField(input);
    field->setText(QString::fromStdU16String(kept.text));
    field->setCursorPosition(static_cast<int>(kept.cursor));
  }
}

void UmdPage::ConfirmLabel(int input) {
  if (const auto stored = presenter_.ConfirmLabel(static_cast<std::uint8_t>(input))) {
    ShowLabel(input, *stored);
  }
}

int UmdPage::InputOfField(const QObject* object) const {
  for (int input = 1; input <= 16; ++input) {
    if (object == LabelField(input)) {
      return input;
    }
  }
  return 0;
}

bool UmdPage::eventFilter(QObject* watched, QEvent* event) {
  const int input = InputOfField(watched);
  if (input == 0) {
    return PageWidget::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::FocusIn:
      presenter_.FocusLabel(static_cast<std::uint8_t>(input));
      break;
    case QEvent::FocusOut:
      if (EndsEditing(*LabelField(input), *static_cast<QFocusEvent*>(event))) {
        ConfirmLabel(input);
      }
      break;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (IsEnter(key)) {
        ConfirmLabel(input);  // the focus stays: leaving the field later sends it again
      }
      if (IsEnter(key) || key == Qt::Key_Escape) {
        return true;
      }
      break;
    }
    default:
      break;
  }
  return PageWidget::eventFilter(watched, event);
}

void UmdPage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && presenter_.ClickPage()) {
    focusTarget_->setFocus(Qt::MouseFocusReason);  // the field's focus loss sends its label
  }
  event->accept();  // the page's own: the click goes no further up
}

void UmdPage::RefreshPage(std::uint8_t page) {
  if (page == ViewerPage::Umd) {
    RefreshLabelTexts();
    // A re-read can change the switches as well; the page must not go on showing the old ones.
    ShowSwitches();
  }
}

void UmdPage::SwitchChanged(ViewerSwitch what, int index, bool on) {
  if (what == ViewerSwitch::AllUmd) {
    AllUmdSwitch()->ShowActive(on);
  } else if (what == ViewerSwitch::UmdOn && index >= 1 && index <= 16) {
    UmdSwitch(index)->ShowActive(on);
  }
}

}  // namespace quintara::ui
