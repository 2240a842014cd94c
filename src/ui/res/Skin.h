#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace quintara::ui {

// Resource ids of the skin bitmaps; the windows and buttons ask for their pictures by these.
namespace SkinId {
inline constexpr int Icon = 128;                // window icon, 32 x 32
inline constexpr int MainBackground = 129;      // main window, drawn 1280 x 720 and stretched
inline constexpr int LockOpen = 132;            // lock button, unlocked: 70 x 37
inline constexpr int Search = 133;              // search button: 135 x 35
inline constexpr int LinkSettings = 134;        // link settings button: 134 x 38
inline constexpr int LockClosed = 135;          // lock button, locked: 70 x 37
inline constexpr int SettingsBackground = 139;  // link settings dialog with its labels: 440 x 486
inline constexpr int Connect = 140;             // serial port button, connect: 180 x 40
inline constexpr int Disconnect = 141;          // serial port button, disconnect: 180 x 40
inline constexpr int Apply = 454;               // apply static address button: 180 x 40
}  // namespace SkinId

// The skin is drawn, not loaded: each resource id has a painter and a size, and its bitmap is
// painted on first use and kept for the life of the program. GUI thread only.
class Skin {
 public:
  // The bitmap of an id at its size. An id without a painter gives a null pixmap, so a button
  // given an unknown id shows nothing rather than a wrong picture.
  static const QPixmap& Bitmap(int id);
  // The size of an id's bitmap; an invalid QSize for an id without a painter.
  static QSize BitmapSize(int id);
  static bool Has(int id);
  // The window icon drawn at 16, 32 and 48 pixels, each at its own size rather than scaled.
  static QIcon WindowIcon();
};

}  // namespace quintara::ui
