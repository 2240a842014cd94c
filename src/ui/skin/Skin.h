#pragma once

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
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

// The multiviewer panel.
inline constexpr int PanelBackground = 137;  // plain dark grey, 1280 x 585, stretched
// Tab buttons, normal / selected (selected: green, with a small triangle under the caption).
inline constexpr int AudioTab = 284;     // 65 x 80, "AUDIO"; 285 selected
inline constexpr int ColoursTab = 286;   // 65 x 80, "COLORS"; 287 selected
inline constexpr int ControlsTab = 288;  // 75 x 80, "CONTROLS"; 289 selected
inline constexpr int LayoutTab = 290;    // 65 x 80, "LAYOUT"; 291 selected
inline constexpr int SwitcherTab = 292;  // 70 x 80, "SWITCHER"; 293 selected
inline constexpr int UmdTab = 294;       // 95 x 80, "UMD OVERLAY"; 295 selected
// Page backgrounds, 490 x 420, with the captions beside the page's lists.
inline constexpr int ModeBackground = 299;      // PICTURE, WIN 1 ... WIN 16
inline constexpr int SwitcherBackground = 300;  // OUT 1 ... OUT 16
// Single-window layout n (1-16): the number n, grey / green, 70 x 45.
constexpr int SingleLayout(int n) {
  return 213 + 2 * n;
}
constexpr int SingleLayoutSelected(int n) {
  return 214 + 2 * n;
}
inline constexpr int OneToOne = 455;  // six screens joined in pairs over ONE TO ONE, 191 x 117

// The Audio and Colour pages.
inline constexpr int AudioBackground = 296;   // Audio Source From, Audio Meter, Windows, Channel
inline constexpr int ColourBackground = 297;  // Source ... Time Code Background Color
inline constexpr int AllMetersOff = 452;      // ALL AUDIO METER ON, grey: 200 x 40
inline constexpr int AllMetersOn = 453;       // the same in green
// The Audio page's ON / OFF pair, unmarked (grey) and marked (green): 50 x 20. Ids of our own.
inline constexpr int MeterOnMark = 3601;
inline constexpr int MeterOnMarked = 3602;
inline constexpr int MeterOffMark = 3603;
inline constexpr int MeterOffMarked = 3604;
// The System page: its background, three on/off switches (off / on) and five action buttons.
inline constexpr int SystemBackground = 298;  // OUTPUT FORMAT caption and a rule under it
inline constexpr int AudioAlarmOff = 203;     // "Audio Alarm Enable", 181 x 45
inline constexpr int AudioAlarmOn = 204;
inline constexpr int FormatStatusOff = 205;  // "Format Status", 182 x 45
inline constexpr int FormatStatusOn = 206;
inline constexpr int LoadCustom1 = 207;  // "Load Custom 1", 182 x 40
inline constexpr int LoadCustom2 = 208;  // "Load Custom 2", 181 x 40
inline constexpr int LoadDefault = 209;  // "Load Default", 181 x 40
inline constexpr int SaveCustom1 = 280;  // "Save To Custom 1", 182 x 42
inline constexpr int SaveCustom2 = 281;  // "Save To Custom 2", 181 x 42
inline constexpr int TimecodeOff = 282;  // "Timecode Enable", 182 x 40
inline constexpr int TimecodeOn = 283;

// The multi-window layouts' pictures, grey / green, drawn from the preview's own geometry.
struct LayoutPicture {
  int layoutCode;
  int normal;
  int selected;
  int width;  // pixels, the size of the Mode page's button
  int height;
};
inline constexpr LayoutPicture kLayoutPictures[] = {
    {40, 247, 248, 135, 110},  {41, 249, 250, 135, 130},  {42, 251, 252, 135, 110},
    {60, 253, 254, 160, 140},  {61, 361, 362, 160, 140},  {80, 255, 256, 140, 65},
    {81, 257, 258, 140, 65},   {82, 259, 260, 140, 110},  {83, 369, 370, 140, 110},
    {90, 263, 264, 120, 90},   {91, 261, 262, 120, 90},   {92, 265, 266, 120, 90},
    {93, 267, 268, 120, 90},   {100, 269, 270, 160, 120}, {101, 271, 272, 160, 115},
    {102, 383, 384, 160, 115}, {111, 273, 274, 180, 150}, {121, 275, 276, 180, 150},
    {160, 277, 278, 180, 155}, {161, 391, 392, 180, 155},
};

// The UMD page.
inline constexpr int AllUmdSwitch = 201;    // ALL UMD ON, grey, 135 x 45
inline constexpr int AllUmdSwitchOn = 202;  // ALL UMD ON, green
inline constexpr int UmdBackground = 301;   // 490 x 420, a rule between the two columns
// The label switch of input n (1-16): SDI n, grey / green, 71 x 40.
constexpr int UmdSwitch(int input) {
  return 396 + 2 * input;
}
constexpr int UmdSwitchOn(int input) {
  return 397 + 2 * input;
}

// The matrix switchers' panels. Input, output and status buttons show a number, grey (normal)
// or green (active); the status button of an output shows the green number of its input.
// Eight channels: 1-8 on 65 x 60 squares.
constexpr int Matrix8Number(int n) {
  return 173 + 2 * n;
}
constexpr int Matrix8NumberLit(int n) {
  return 174 + 2 * n;
}
// Sixteen channels: 1-16 on 70 x 63 squares.
constexpr int Matrix16Number(int n) {
  return 500 + n;
}
constexpr int Matrix16NumberLit(int n) {
  return 600 + n;
}
inline constexpr int Matrix8Background = 191;   // 1280 x 566, INPUT, OUTPUT, OUTPUT STATUS
inline constexpr int Matrix16Background = 460;  // 1240 x 558, the same sections full width
inline constexpr int MatrixOneToAll = 194;      // ONE TO ALL, 190 x 39; 195 green
inline constexpr int MatrixOneToAllLit = 195;
inline constexpr int MatrixOneToOne = 196;  // ONE TO ONE, 190 x 37; 197 green
inline constexpr int MatrixOneToOneLit = 197;
inline constexpr int MatrixApply = 198;  // APPLY, 110 x 45; 199 green
inline constexpr int MatrixApplyLit = 199;
// REFRESH, 110 x 37: green while a refresh is recent, grey (its normal look) otherwise.
inline constexpr int MatrixRefreshLit = 450;
inline constexpr int MatrixRefresh = 451;
}  // namespace SkinId

// The skin is drawn, not loaded: each resource id has a painter and a size, and its bitmap is
// painted on first use and kept for the life of the program. GUI thread only.
class Skin {
 public:
  // The bitmap of an id at its size. An id without a painter gives a null pixmap, so a button
  // given an unknown id shows nothing rather than a wrong picture.
  static const QPixmap& Bitmap(int id);
  // Paints an id's picture into the target as its bitmap stretched there would look. At the
  // bitmap's own size the picture is painted straight onto the target and no bitmap is kept: a
  // window's background would otherwise hold megabytes for plain fills.
  static void Paint(QPainter& painter, int id, const QRect& target);
  // The size of an id's bitmap; an invalid QSize for an id without a painter.
  static QSize BitmapSize(int id);
  static bool Has(int id);
  // The window icon drawn at 16, 32 and 48 pixels, each at its own size rather than scaled.
  static QIcon WindowIcon();
  // The window icon drawn at side x side pixels on a transparent ground.
  static QImage WindowIconImage(int side);
};

}  // namespace quintara::ui
