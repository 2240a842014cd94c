#include "ui/skin/AudioColourPictures.h"

#include <QPainter>
#include <array>
#include <span>

#include "ui/skin/SkinPainters.h"

namespace quintara::ui::skin {
namespace {

constexpr int kCaptionLeft = 10;

struct Caption {
  const char* text;
  int listY;  // the top of the list the caption stands beside
};

// Page captions right-aligned up to a little before their list, on the page's 490 x 420 canvas.
void PaintCaptions(QPainter& p, QSize size, std::span<const Caption> captions, int listX) {
  PaintPageCanvas(p, size);
  p.setPen(LabelGrey);
  p.setFont(SkinFont(11, QFont::DemiBold));
  for (const Caption& caption : captions) {
    p.drawText(QRect(kCaptionLeft, caption.listY, listX - 12 - kCaptionLeft, 20),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(caption.text));
  }
}

}  // namespace

void PaintAudioBackground(QPainter& p, QSize size) {
  static constexpr std::array<Caption, 4> kCaptions{
      {{"Audio Source From", 45}, {"Audio Meter", 122}, {"Windows", 165}, {"Channel", 205}}};
  PaintCaptions(p, size, kCaptions, 250);
  // The output source above; the meters of the windows below.
  p.fillRect(QRect(40, 90, 400, 1), Rule);
}

void PaintColourBackground(QPainter& p, QSize size) {
  static constexpr std::array<Caption, 9> kCaptions{{{"Source", 25},
                                                     {"UMD Text Color", 62},
                                                     {"UMD Background Color", 100},
                                                     {"Windows", 150},
                                                     {"Format Status Text Color", 190},
                                                     {"Format Status Background Color", 230},
                                                     {"Border Color", 268},
                                                     {"Time Code Text Color", 308},
                                                     {"Time Code Background Color", 346}}};
  PaintCaptions(p, size, kCaptions, 240);
  // The inputs' UMD colours above, the windows' overlays below.
  p.fillRect(QRect(20, 134, 360, 1), Rule);
}

void PaintAllMeters(QPainter& p, QSize size, bool on) {
  PaintPlate(p, size);
  const QColor ink = on ? Green : IdleGrey;
  // A stereo level meter: two bars of segments, the upper ones lit only when on.
  const int top = size.height() / 2 - 9;
  for (int bar = 0; bar < 2; ++bar) {
    for (int segment = 0; segment < 5; ++segment) {
      const bool lit = on || segment < 2;
      const QRect cell(12 + bar * 7, top + 16 - 4 * segment, 5, 3);
      p.fillRect(cell, lit ? ink : Shadow);
    }
  }
  p.setPen(ink);
  p.setFont(SkinFont(12, QFont::DemiBold));
  p.drawText(QRect(30, 0, size.width() - 36, size.height()), Qt::AlignCenter,
             QStringLiteral("ALL AUDIO METER ON"));
}

void PaintChoice(QPainter& p, QSize size, const QString& caption, bool marked) {
  p.fillRect(QRect(QPoint(0, 0), size), ControlGround);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = marked ? Green : IdleGrey;
  const QPointF centre(8.5, size.height() / 2.0);
  p.setPen(QPen(ink, 1.5));
  p.setBrush(Shadow);
  p.drawEllipse(centre, 5.5, 5.5);
  if (marked) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(centre, 3, 3);
  }
  p.setPen(ink);
  p.setFont(SkinFont(11, QFont::DemiBold));
  p.drawText(QRect(18, 0, size.width() - 18, size.height()), Qt::AlignLeft | Qt::AlignVCenter,
             caption);
}

}  // namespace quintara::ui::skin
