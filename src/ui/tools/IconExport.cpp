// quintara-icon-export: writes the window's icon, painted by the skin's own painter, as an icon
// theme's files: DIR/hicolor/NxN/apps/quintara.png for each side asked, and
// DIR/hicolor/scalable/apps/quintara.svg. The desktop's icon is then the window's, never a copy.
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QStringList>
#include <QSvgGenerator>
#include <cstdio>
#include <optional>
#include <vector>

#include "ui/skin/Skin.h"
#include "ui/skin/SkinPainters.h"

namespace {

// The scalable icon is drawn on this grid, where the painter's whole-pixel tiles are exact.
constexpr int kSvgSide = 256;
constexpr int kLargestSide = 1024;

bool WritePng(const QString& theme, int side) {
  const QString dir = theme + QStringLiteral("/%1x%1/apps").arg(side);
  return QDir().mkpath(dir) &&
         quintara::ui::Skin::WindowIconImage(side).save(dir + QStringLiteral("/quintara.png"));
}

bool WriteSvg(const QString& theme) {
  const QString dir = theme + QStringLiteral("/scalable/apps");
  if (!QDir().mkpath(dir)) {
    return false;
  }
  QSvgGenerator svg;
  svg.setFileName(dir + QStringLiteral("/quintara.svg"));
  svg.setSize(QSize(kSvgSide, kSvgSide));
  svg.setViewBox(QRect(0, 0, kSvgSide, kSvgSide));
  svg.setTitle(QStringLiteral("Quintara"));
  QPainter painter;
  if (!painter.begin(&svg)) {
    return false;
  }
  quintara::ui::skin::PaintWindowIcon(painter, QSize(kSvgSide, kSvgSide));
  return painter.end();
}

std::optional<std::vector<int>> Sides(const QStringList& texts) {
  std::vector<int> sides;
  for (const QString& text : texts) {
    bool number = false;
    const int side = text.toInt(&number);
    if (!number || side < 16 || side > kLargestSide) {
      return std::nullopt;
    }
    sides.push_back(side);
  }
  return sides;
}

}  // namespace

int main(int argc, char** argv) {
  const QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments().mid(1);
  const std::optional<std::vector<int>> sides = Sides(args.mid(1));
  if (args.size() < 2 || !sides) {
    std::fputs(
        "Usage: quintara-icon-export DIR SIDE...\n"
        "Writes the window icon as DIR/hicolor/SIDExSIDE/apps/quintara.png (SIDE 16-1024)\n"
        "and DIR/hicolor/scalable/apps/quintara.svg.\n",
        stderr);
    return 2;
  }
  const QString theme = args.front() + QStringLiteral("/hicolor");
  for (const int side : *sides) {
    if (!WritePng(theme, side)) {
      std::fprintf(stderr, "quintara-icon-export: cannot write the %d px icon under %s\n", side,
                   qPrintable(theme));
      return 1;
    }
  }
  if (!WriteSvg(theme)) {
    std::fprintf(stderr, "quintara-icon-export: cannot write the scalable icon under %s\n",
                 qPrintable(theme));
    return 1;
  }
  return 0;
}
