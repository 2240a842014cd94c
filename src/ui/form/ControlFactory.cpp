#include "ui/form/ControlFactory.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "ui/controls/AddressEdit.h"
#include "ui/controls/ColourButton.h"
#include "ui/controls/LimitedEdit.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QRect Placement(const ControlRow& row, const DpiScale& scale) {
  const QRect& r = row.rect;
  switch (row.size) {
    case Sizing::Pixels:
      return scale.PixelSized(r.x(), r.y(), r.width(), r.height());
    case Sizing::PixelHeight:
      return scale.PixelHigh(r.x(), r.y(), r.width(), r.height());
    case Sizing::Scaled:
      break;
  }
  return scale.Rect(r.x(), r.y(), r.width(), r.height());
}

// Lists and edits read their text and background from several roles; all of them get the colours.
// Only while the control takes input: the disabled look stays the skin's (SkinStyle).
QPalette FieldPalette(const QWidget& window, const TextColours& colours) {
  QPalette palette = window.palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
      palette.setColor(group, role, colours.background);
    }
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
      palette.setColor(group, role, colours.text);
    }
  }
  return palette;
}

// A disabled label dims its text as the skin's lists and edits do.
QPalette LabelPalette(const QWidget& window, const TextColours& colours) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, colours.background);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, colours.text);
  }
  return palette;
}

QWidget* MakeShadeButton(const ControlRow& row, QWidget& parent) {
  auto* button = new ShadeButton(&parent);
  button->SetBitmapIds(row.bitmap, row.activeBitmap);
  button->SetFlatBorder(false);  // no window draws a border around its bitmaps
  return button;
}

QWidget* MakeColourButton(const ControlRow& row, QWidget& parent) {
  auto* button = new ColourButton(&parent);
  button->setText(Text(row.caption));
  button->SetTextColour(skin::Green);  // every window's colour buttons have green captions
  return button;
}

QWidget* MakeField(QLineEdit* edit, const ControlRow& row, const ControlColours& colours) {
  edit->setText(Text(row.caption));
  edit->setPalette(FieldPalette(*edit->parentWidget(), colours.fields));
  return edit;
}

// The open list is a window of its own and inherits nothing: it gets the same colours as the
// closed box, so its lines read as they do there. Its view is made when the list first opens,
// not with every list of every window.
class SkinnedList : public QComboBox {
 public:
  SkinnedList(const TextColours& colours, QWidget& parent)
      : QComboBox(&parent), colours_(colours) {
    setPalette(FieldPalette(parent, colours));
  }

  void showPopup() override {
    if (!popupSkinned_) {
      view()->setPalette(FieldPalette(*view(), colours_));
      popupSkinned_ = true;
    }
    QComboBox::showPopup();
  }

 private:
  TextColours colours_;
  bool popupSkinned_ = false;
};

QWidget* MakeDropDownList(const ControlColours& colours, QWidget& parent) {
  return new SkinnedList(colours.fields, parent);
}

QWidget* MakeReadOnlyEdit(const ControlRow& row, const ControlColours& colours, QWidget& parent) {
  auto* edit = new QLineEdit(&parent);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  return MakeField(edit, row, colours);
}

QWidget* MakeStaticLabel(const ControlRow& row, const ControlColours& colours, QWidget& parent) {
  auto* label = new QLabel(Text(row.caption), &parent);
  label->setAutoFillBackground(true);
  label->setPalette(LabelPalette(parent, colours.labels));
  return label;
}

QWidget* MakeFocusSink(QWidget& parent) {
  auto* sink = new QLineEdit(&parent);
  sink->lower();  // under every other control, so it is never seen
  return sink;
}

QWidget* MakeArea(QWidget& parent) {
  auto* area = new QWidget(&parent);
  area->hide();
  return area;
}

QWidget* Make(const ControlRow& row, const ControlColours& colours, QWidget& parent) {
  switch (row.kind) {
    case ControlKind::ShadeButton:
      return MakeShadeButton(row, parent);
    case ControlKind::ColourButton:
      return MakeColourButton(row, parent);
    case ControlKind::DropDownList:
      return MakeDropDownList(colours, parent);
    case ControlKind::Edit:
      return MakeField(new QLineEdit(&parent), row, colours);
    case ControlKind::LimitedEdit:
      return MakeField(new LimitedEdit(&parent), row, colours);
    case ControlKind::AddressEdit:
      return MakeField(new AddressEdit(&parent), row, colours);
    case ControlKind::ReadOnlyEdit:
      return MakeReadOnlyEdit(row, colours, parent);
    case ControlKind::TrackBar:
      return new QSlider(Qt::Horizontal, &parent);
    case ControlKind::StaticLabel:
      return MakeStaticLabel(row, colours, parent);
    case ControlKind::FocusSink:
      return MakeFocusSink(parent);
    case ControlKind::Area:
      return MakeArea(parent);
  }
  return MakeArea(parent);  // not reached: every kind is handled above
}

}  // namespace

QWidget* ControlSet::Find(int id) const {
  const auto it = byId_.find(id);
  return it != byId_.end() ? it->second : nullptr;
}

ControlSet BuildControls(ControlTable table, const ControlColours& colours, QWidget& parent,
                         const DpiScale& scale) {
  ControlSet built;
  for (const ControlRow& row : table) {
    QWidget* control = Make(row, colours, parent);
    control->setGeometry(Placement(row, scale));
    if (!row.tip.empty()) {
      control->setToolTip(Text(row.tip));
    }
    if (row.hidden) {
      control->hide();
    }
    built.byId_[row.id] = control;
  }
  return built;
}

}  // namespace quintara::ui
