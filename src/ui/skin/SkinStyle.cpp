#include "ui/skin/SkinStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPolygonF>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <algorithm>
#include <utility>

#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

using namespace skin;

void SetBoth(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
  palette.setColor(QPalette::Active, role, colour);
  palette.setColor(QPalette::Inactive, role, colour);
}

QString Hex(const QColor& colour) {
  return colour.name(QColor::HexRgb);
}

// The sheet names the skin's colours as @Name@; Palette.h stays the one place they are defined.
constexpr std::pair<const char*, QColor> kSheetColours[] = {
    {"@Ground@", Ground},
    {"@ControlGround@", ControlGround},
    {"@Green@", Green},
    {"@Plate@", Plate},
    {"@PlateEdge@", PlateEdge},
    {"@Shadow@", Shadow},
    {"@DisabledInk@", DisabledInk},
    {"@DisabledGround@", DisabledGround},
    {"@DisabledEdge@", DisabledEdge},
};

// Fusion underneath, so the skin looks the same on every desktop. A closed list is drawn here
// rather than by the style sheet, whose list keeps a bevelled arrow button: a flat box in the
// list's own colours (its palette, whose disabled group is the skin's), a rim that turns green
// while the list has the focus, the mouse or its pop-up, and a plain arrow in the text colour.
class SkinProxyStyle final : public QProxyStyle {
 public:
  SkinProxyStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    // The boxes' buttons are captions on the skin's plates, without stock pictures.
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
      return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

  // A disabled bitmap turns grey around the window's ground, which itself stays as it is (the
  // bitmaps are opaque on it): what is darker keeps its shade, what is brighter (the green
  // captions) dims towards the ground, where Fusion would wash the whole picture out.
  QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap,
                              const QStyleOption* option) const override {
    if (mode != QIcon::Disabled) {
      return QProxyStyle::generatedIconPixmap(mode, pixmap, option);
    }
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const int groundGrey = qGray(Ground.rgb());
    const auto channel = [](int ground, int shift) { return std::clamp(ground + shift, 0, 255); };
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const int shift =
            std::min(qGray(line[x]) - groundGrey, (qGray(line[x]) - groundGrey) * 3 / 5);
        line[x] = qRgba(channel(Ground.red(), shift), channel(Ground.green(), shift),
                        channel(Ground.blue(), shift), qAlpha(line[x]));
      }
    }
    return QPixmap::fromImage(std::move(image));
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control != CC_ComboBox) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    const bool enabled = (option->state & State_Enabled) != 0;
    const bool lit = enabled && (option->state & (State_HasFocus | State_MouseOver | State_On));
    painter->save();
    painter->fillRect(option->rect, option->palette.color(QPalette::Button));
    painter->setPen(lit ? Green : enabled ? PlateEdge : DisabledEdge);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));

    const QPointF centre = subControlRect(control, option, SC_ComboBoxArrow, widget).center();
    const qreal half = 4.0;
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(option->palette.color(QPalette::ButtonText));
    painter->drawPolygon(QPolygonF{centre + QPointF(-half, -half / 2),
                                   centre + QPointF(half, -half / 2),
                                   centre + QPointF(0, half / 2 + 1)});
    painter->restore();
  }
};

}  // namespace

QPalette SkinPalette() {
  QPalette palette;
  SetBoth(palette, QPalette::Window, Ground);
  SetBoth(palette, QPalette::WindowText, Qt::white);
  SetBoth(palette, QPalette::Base, ControlGround);
  SetBoth(palette, QPalette::AlternateBase, Plate);
  SetBoth(palette, QPalette::Text, Qt::white);
  SetBoth(palette, QPalette::Button, ControlGround);
  SetBoth(palette, QPalette::ButtonText, Qt::white);
  SetBoth(palette, QPalette::BrightText, Qt::white);
  SetBoth(palette, QPalette::Highlight, Green);
  SetBoth(palette, QPalette::HighlightedText, Qt::black);
  SetBoth(palette, QPalette::ToolTipBase, ControlGround);
  SetBoth(palette, QPalette::ToolTipText, Qt::white);
  SetBoth(palette, QPalette::PlaceholderText, IdleGrey);
  SetBoth(palette, QPalette::Link, ListBlue);
  // The bevels Fusion draws with, where anything is still left to it.
  SetBoth(palette, QPalette::Light, PlateEdge);
  SetBoth(palette, QPalette::Midlight, Rule);
  SetBoth(palette, QPalette::Mid, Plate);
  SetBoth(palette, QPalette::Dark, Shadow);
  SetBoth(palette, QPalette::Shadow, Qt::black);

  // Disabled: dim text on a ground darker than the control grey. The windows give their lists
  // and edits colours for the enabled groups only, so this is what every disabled one shows.
  palette.setColor(QPalette::Disabled, QPalette::Window, Ground);
  for (const QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Disabled, role, DisabledInk);
  }
  for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button}) {
    palette.setColor(QPalette::Disabled, role, DisabledGround);
  }
  palette.setColor(QPalette::Disabled, QPalette::Highlight, DisabledEdge);
  return palette;
}

QString SkinStyleSheet() {
  // Edits take their text colour from the window that built them (their palette); the sheet
  // gives them the flat ground, the rim and the disabled look. Closed lists are the proxy
  // style's; their pop-ups are styled here.
  static const QString sheet = [] {
    QString text = QStringLiteral(R"(
QLineEdit {
  background-color: @ControlGround@;
  border: 1px solid @PlateEdge@;
  border-radius: 2px;
  padding: 0px 2px;
  selection-background-color: @Green@;
  selection-color: black;
}
QLineEdit:focus {
  border-color: @Green@;
}
QLineEdit:disabled {
  color: @DisabledInk@;
  background-color: @DisabledGround@;
  border-color: @DisabledEdge@;
}
QComboBox QAbstractItemView {
  background-color: @ControlGround@;
  border: 1px solid @Green@;
  outline: 0px;
  selection-background-color: @Green@;
  selection-color: black;
}
QMenu {
  background-color: @ControlGround@;
  color: white;
  border: 1px solid @PlateEdge@;
  padding: 2px;
}
QMenu::item {
  padding: 4px 18px;
  background-color: transparent;
}
QMenu::item:selected {
  background-color: @Green@;
  color: black;
}
QMenu::item:disabled {
  color: @DisabledInk@;
}
QMenu::separator {
  height: 1px;
  background-color: @PlateEdge@;
  margin: 3px 6px;
}
QMessageBox, QDialog {
  background-color: @Ground@;
}
QMessageBox QLabel, QDialog QLabel {
  color: white;
  background-color: transparent;
}
QDialog QLabel#AboutTitle {
  color: @Green@;
}
QPushButton {
  background-color: @Plate@;
  color: @Green@;
  border: 1px solid @PlateEdge@;
  border-radius: 3px;
  padding: 4px 14px;
  min-width: 64px;
}
QPushButton:hover, QPushButton:focus {
  border-color: @Green@;
}
QPushButton:pressed {
  background-color: @Shadow@;
}
QPushButton:disabled {
  color: @DisabledInk@;
  background-color: @DisabledGround@;
  border-color: @DisabledEdge@;
}
QScrollBar:vertical {
  background-color: @Plate@;
  width: 12px;
  margin: 0px;
}
QScrollBar::handle:vertical {
  background-color: @PlateEdge@;
  min-height: 20px;
  border-radius: 3px;
  margin: 2px;
}
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {
  height: 0px;
}
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {
  background: none;
}
QToolTip {
  background-color: @ControlGround@;
  color: white;
  border: 1px solid @PlateEdge@;
}
)");
    for (const auto& [name, colour] : kSheetColours) {
      text.replace(QLatin1String(name), Hex(colour));
    }
    return text;
  }();
  return sheet;
}

void ApplySkinStyle(QApplication& app) {
  QApplication::setStyle(new SkinProxyStyle);
  QApplication::setPalette(SkinPalette());
  app.setStyleSheet(SkinStyleSheet());
}

}  // namespace quintara::ui
