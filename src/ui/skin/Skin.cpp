#include "ui/skin/Skin.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "ui/skin/AudioColourPictures.h"
#include "ui/skin/LayoutPictures.h"
#include "ui/skin/MatrixPictures.h"
#include "ui/skin/SkinPainters.h"
#include "ui/skin/SystemPictures.h"
#include "ui/skin/UmdPictures.h"

namespace quintara::ui {
namespace {

using skin::Mark;
using skin::Tab;

// A painter is a function of the bitmap's size; roles (caption, state, digit) are bound in the
// table so that families of ids can share one painter.
using SkinPainter = std::function<void(QPainter&, QSize)>;

struct SkinEntry {
  int id;
  QSize size;
  SkinPainter paint;
  bool transparent = false;  // only the icon; bitmaps are opaque on the Ground colour
};

SkinPainter Caption(const char* caption, Mark mark = Mark::None) {
  return [text = QString::fromLatin1(caption), mark](QPainter& p, QSize size) {
    skin::PaintCaptionButton(p, size, text, mark);
  };
}

SkinPainter Lock(bool locked) {
  return [locked](QPainter& p, QSize size) { skin::PaintLock(p, size, locked); };
}

SkinPainter TabButton(Tab tab, bool selected) {
  return [tab, selected](QPainter& p, QSize size) { skin::PaintTab(p, size, tab, selected); };
}

SkinPainter Single(int window, bool selected) {
  return [window, selected](QPainter& p, QSize size) {
    skin::PaintSingleLayout(p, size, window, selected);
  };
}

SkinPainter Picture(int layoutCode, bool selected) {
  return [code = static_cast<std::uint8_t>(layoutCode), selected](QPainter& p, QSize size) {
    skin::PaintLayoutPicture(p, size, code, selected);
  };
}

SkinPainter AllMeters(bool on) {
  return [on](QPainter& p, QSize size) { skin::PaintAllMeters(p, size, on); };
}

SkinPainter Choice(const char* caption, bool marked) {
  return [text = QString::fromLatin1(caption), marked](QPainter& p, QSize size) {
    skin::PaintChoice(p, size, text, marked);
  };
}

SkinPainter Switch(const char* caption, bool on) {
  return [text = QString::fromLatin1(caption), on](QPainter& p, QSize size) {
    skin::PaintSwitchButton(p, size, text, on);
  };
}

SkinPainter Action(const char* caption, skin::Recall kind) {
  return [text = QString::fromLatin1(caption), kind](QPainter& p, QSize size) {
    skin::PaintRecallButton(p, size, text, kind);
  };
}

SkinPainter UmdSwitch(int input, bool on) {
  return [input, on](QPainter& p, QSize size) { skin::PaintUmdSwitch(p, size, input, on); };
}

SkinPainter MatrixNumber(int number, bool lit) {
  return [number, lit](QPainter& p, QSize size) { skin::PaintMatrixNumber(p, size, number, lit); };
}

SkinPainter MatrixAction(const char* caption, QSize view, bool lit) {
  return [text = QString::fromLatin1(caption), view, lit](QPainter& p, QSize size) {
    skin::PaintMatrixAction(p, size, text, view, lit);
  };
}

// Ascending by id, which the look-up relies on; the families are sorted into place.
const std::vector<SkinEntry>& Table() {
  static const std::vector<SkinEntry> table = [] {
    std::vector<SkinEntry> t = {
        {SkinId::Icon, {32, 32}, skin::PaintWindowIcon, true},
        {SkinId::MainBackground, {1280, 720}, skin::PaintMainBackground},
        {SkinId::LockOpen, {70, 37}, Lock(false)},
        {SkinId::Search, {135, 35}, Caption("Search", Mark::Magnifier)},
        {SkinId::LinkSettings, {134, 38}, Caption("Link Settings")},
        {SkinId::LockClosed, {70, 37}, Lock(true)},
        {SkinId::SettingsBackground, {440, 486}, skin::PaintSettingsBackground},
        {SkinId::Connect, {180, 40}, Caption("Connect", Mark::PortIdle)},
        {SkinId::Disconnect, {180, 40}, Caption("Disconnect", Mark::PortLive)},
        {SkinId::Apply, {180, 40}, Caption("Apply")},
        {SkinId::PanelBackground, {1280, 585}, skin::PaintPanelBackground},
        {SkinId::ModeBackground, {490, 420}, skin::PaintModeBackground},
        {SkinId::SwitcherBackground, {490, 420}, skin::PaintSwitcherBackground},
        {SkinId::OneToOne, {191, 117}, skin::PaintOneToOne},
        {SkinId::AudioBackground, {490, 420}, skin::PaintAudioBackground},
        {SkinId::ColourBackground, {490, 420}, skin::PaintColourBackground},
        {SkinId::AllMetersOff, {200, 40}, AllMeters(false)},
        {SkinId::AllMetersOn, {200, 40}, AllMeters(true)},
        {SkinId::MeterOnMark, {50, 20}, Choice("ON", false)},
        {SkinId::MeterOnMarked, {50, 20}, Choice("ON", true)},
        {SkinId::MeterOffMark, {50, 20}, Choice("OFF", false)},
        {SkinId::MeterOffMarked, {50, 20}, Choice("OFF", true)},
        {SkinId::SystemBackground, {490, 420}, skin::PaintSystemBackground},
        {SkinId::AudioAlarmOff, {181, 45}, Switch("Audio Alarm Enable", false)},
        {SkinId::AudioAlarmOn, {181, 45}, Switch("Audio Alarm Enable", true)},
        {SkinId::FormatStatusOff, {182, 45}, Switch("Format Status", false)},
        {SkinId::FormatStatusOn, {182, 45}, Switch("Format Status", true)},
        {SkinId::LoadCustom1, {182, 40}, Action("Load Custom 1", skin::Recall::Load)},
        {SkinId::LoadCustom2, {181, 40}, Action("Load Custom 2", skin::Recall::Load)},
        {SkinId::LoadDefault, {181, 40}, Action("Load Default", skin::Recall::Restore)},
        {SkinId::SaveCustom1, {182, 42}, Action("Save To Custom 1", skin::Recall::Save)},
        {SkinId::SaveCustom2, {181, 42}, Action("Save To Custom 2", skin::Recall::Save)},
        {SkinId::TimecodeOff, {182, 40}, Switch("Timecode Enable", false)},
        {SkinId::TimecodeOn, {182, 40}, Switch("Timecode Enable", true)},
    };
    struct TabSize {
      int id;
      Tab tab;
      int width;
    };
    static constexpr TabSize kTabs[] = {
        {SkinId::AudioTab, Tab::Audio, 65},       {SkinId::ColoursTab, Tab::Colours, 65},
        {SkinId::ControlsTab, Tab::Controls, 75}, {SkinId::LayoutTab, Tab::Layout, 65},
        {SkinId::SwitcherTab, Tab::Switcher, 70}, {SkinId::UmdTab, Tab::Umd, 95}};
    for (const TabSize& tab : kTabs) {
      t.push_back({tab.id, {tab.width, 80}, TabButton(tab.tab, false)});
      t.push_back({tab.id + 1, {tab.width, 80}, TabButton(tab.tab, true)});
    }
    for (int n = 1; n <= 16; ++n) {
      t.push_back({SkinId::SingleLayout(n), {70, 45}, Single(n, false)});
      t.push_back({SkinId::SingleLayoutSelected(n), {70, 45}, Single(n, true)});
    }
    for (const SkinId::LayoutPicture& picture : SkinId::kLayoutPictures) {
      const QSize size(picture.width, picture.height);
      t.push_back({picture.normal, size, Picture(picture.layoutCode, false)});
      t.push_back({picture.selected, size, Picture(picture.layoutCode, true)});
    }
    // The UMD page.
    t.push_back({SkinId::UmdBackground, {490, 420}, skin::PaintUmdBackground});
    for (const bool on : {false, true}) {
      t.push_back({on ? SkinId::AllUmdSwitchOn : SkinId::AllUmdSwitch,
                   {135, 45},
                   [on](QPainter& p, QSize size) { skin::PaintAllUmdSwitch(p, size, on); }});
    }
    for (int n = 1; n <= 16; ++n) {
      t.push_back({SkinId::UmdSwitch(n), {71, 40}, UmdSwitch(n, false)});
      t.push_back({SkinId::UmdSwitchOn(n), {71, 40}, UmdSwitch(n, true)});
    }
    // The matrix panels.
    t.push_back({SkinId::Matrix8Background, {1280, 566}, skin::PaintMatrix8Background});
    t.push_back({SkinId::Matrix16Background, {1240, 558}, skin::PaintMatrix16Background});
    for (int n = 1; n <= 8; ++n) {
      t.push_back({SkinId::Matrix8Number(n), {65, 60}, MatrixNumber(n, false)});
      t.push_back({SkinId::Matrix8NumberLit(n), {65, 60}, MatrixNumber(n, true)});
    }
    for (int n = 1; n <= 16; ++n) {
      t.push_back({SkinId::Matrix16Number(n), {70, 63}, MatrixNumber(n, false)});
      t.push_back({SkinId::Matrix16NumberLit(n), {70, 63}, MatrixNumber(n, true)});
    }
    struct MatrixActionLook {
      int normal;
      int lit;
      QSize size;
      const char* caption;
      QSize view;  // the part a smaller button shows
    };
    // The sixteen-channel panel shows Apply and Refresh in 100 x 32 buttons.
    const QSize cut(100, 32);
    const MatrixActionLook actions[] = {
        {SkinId::MatrixOneToAll, SkinId::MatrixOneToAllLit, {190, 39}, "ONE TO ALL", {190, 39}},
        {SkinId::MatrixOneToOne, SkinId::MatrixOneToOneLit, {190, 37}, "ONE TO ONE", {190, 37}},
        {SkinId::MatrixApply, SkinId::MatrixApplyLit, {110, 45}, "APPLY", cut},
        {SkinId::MatrixRefresh, SkinId::MatrixRefreshLit, {110, 37}, "REFRESH", cut}};
    for (const MatrixActionLook& action : actions) {
      t.push_back({action.normal, action.size, MatrixAction(action.caption, action.view, false)});
      t.push_back({action.lit, action.size, MatrixAction(action.caption, action.view, true)});
    }
    std::ranges::sort(t, {}, &SkinEntry::id);
    // Strictly ascending: an id given twice would leave one of its pictures unreachable.
    Q_ASSERT(std::ranges::adjacent_find(t, std::ranges::greater_equal{}, &SkinEntry::id) ==
             t.end());
    return t;
  }();
  return table;
}

const SkinEntry* Find(int id) {
  const auto& table = Table();
  const auto it = std::ranges::lower_bound(table, id, {}, &SkinEntry::id);
  return it != table.end() && it->id == id ? &*it : nullptr;
}

QImage Render(const SkinEntry& entry, QSize size) {
  QImage image(size,
               entry.transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  image.fill(entry.transparent ? QColor(Qt::transparent) : skin::Ground);
  QPainter painter(&image);
  entry.paint(painter, size);
  return image;
}

}  // namespace

const QPixmap& Skin::Bitmap(int id) {
  Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
  static const QPixmap none;
  // Node-based, so the references handed out stay valid as the cache grows.
  static std::unordered_map<int, QPixmap> cache;
  if (const auto it = cache.find(id); it != cache.end()) {
    return it->second;
  }
  const SkinEntry* entry = Find(id);
  if (entry == nullptr) {
    return none;
  }
  return cache.emplace(id, QPixmap::fromImage(Render(*entry, entry->size))).first->second;
}

void Skin::Paint(QPainter& painter, int id, const QRect& target) {
  const SkinEntry* entry = Find(id);
  if (entry == nullptr || entry->transparent || target.size() != entry->size) {
    painter.drawPixmap(target, Bitmap(id));
    return;
  }
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.fillRect(QRect(QPoint(0, 0), entry->size), skin::Ground);
  entry->paint(painter, entry->size);
  painter.restore();
}

QSize Skin::BitmapSize(int id) {
  const SkinEntry* entry = Find(id);
  return entry != nullptr ? entry->size : QSize();
}

bool Skin::Has(int id) {
  return Find(id) != nullptr;
}

QIcon Skin::WindowIcon() {
  static const QIcon icon = [] {
    QIcon made;
    for (const int side : {16, 48}) {
      made.addPixmap(QPixmap::fromImage(WindowIconImage(side)));
    }
    made.addPixmap(Bitmap(SkinId::Icon));
    return made;
  }();
  return icon;
}

QImage Skin::WindowIconImage(int side) {
  return Render(*Find(SkinId::Icon), QSize(side, side));
}

}  // namespace quintara::ui
