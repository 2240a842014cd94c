#include "ui/viewer/pages/ColourPage.h"

#include <optional>

#include "core/viewer/state/ViewerTables.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

// The colour list a report's selection belongs to, if any.
std::optional<ColourList> ListOf(ViewerSelection what) {
  switch (what) {
    case ViewerSelection::UmdTextColour:
      return ColourList::UmdText;
    case ViewerSelection::UmdBackColour:
      return ColourList::UmdBack;
    case ViewerSelection::FormatTextColour:
      return ColourList::FormatText;
    case ViewerSelection::FormatBackColour:
      return ColourList::FormatBack;
    case ViewerSelection::TimecodeTextColour:
      return ColourList::TimecodeText;
    case ViewerSelection::TimecodeBackColour:
      return ColourList::TimecodeBack;
    default:
      return std::nullopt;
  }
}

}  // namespace

ColourPage::ColourPage(DeviceSession& session, PanelSelections& selections, const DpiScale& scale,
                       QWidget* parent)
    : PageWidget(SkinId::ColourBackground, parent),
      presenter_(session, selections),
      controls_(BuildControls(ColourPageControls(), Colours(), *this, scale)) {
  FillLists();
  Show(presenter_.Shown());
  ConnectControls();
  attachment_ = session.ViewerViews().Attach(*this);
}

void ColourPage::FillLists() {
  // The input list reads "All Windows" too, although it chooses inputs.
  List(ColourPageId::Source)->addItem(QStringLiteral("All Windows"));
  List(ColourPageId::Window)->addItem(QStringLiteral("All Windows"));
  for (int n = 1; n <= 16; ++n) {
    List(ColourPageId::Source)->addItem(QString::asprintf("SDI %d", n));
    List(ColourPageId::Window)->addItem(QString::asprintf("Window_%02d", n));
  }
  for (const ColourList list : kAllColourLists) {
    for (const PaletteColour& colour : kPalette) {
      List(list)->addItem(
          QString::fromUtf8(colour.name.data(), static_cast<qsizetype>(colour.name.size())));
    }
  }
  List(ColourPageId::Border)->addItems({QStringLiteral("OFF"), QStringLiteral("ON")});
}

void ColourPage::ConnectControls() {
  connect(List(ColourPageId::Source), &QComboBox::activated, this, [this](int item) {
    SelectQuietly(List(ColourPageId::Source), presenter_.ChooseSource(item));
    ShowColours(true);
  });
  connect(List(ColourPageId::Window), &QComboBox::activated, this, [this](int item) {
    SelectQuietly(List(ColourPageId::Window), presenter_.ChooseWindow(item));
    ShowColours(false);
  });
  for (const ColourList list : kAllColourLists) {
    connect(List(list), &QComboBox::activated, this, [this, list](int colour) {
      SelectQuietly(List(list), presenter_.ChooseColour(list, colour));
    });
  }
  connect(List(ColourPageId::Border), &QComboBox::activated, this, [this](int item) {
    SelectQuietly(List(ColourPageId::Border), presenter_.ChooseBorder(item));
  });
}

void ColourPage::Show(const ColourView& shown) {
  SelectQuietly(List(ColourPageId::Source), shown.source);
  SelectQuietly(List(ColourPageId::Window), shown.window);
  for (const ColourList list : kAllColourLists) {
    SelectQuietly(List(list), shown.Colour(list));
  }
  SelectQuietly(List(ColourPageId::Border), shown.border);
}

void ColourPage::ShowColours(bool followingInput) {
  const ColourView shown = presenter_.Shown();
  for (const ColourList list : kAllColourLists) {
    if (ColourPresenter::FollowsInput(list) == followingInput) {
      SelectQuietly(List(list), shown.Colour(list));
    }
  }
}

void ColourPage::RefreshPage(std::uint8_t page) {
  if (page == ViewerPage::Colour) {
    Show(presenter_.Shown());
  }
}

void ColourPage::SelectionChanged(ViewerSelection what, int /*index*/, int item) {
  if (const std::optional<ColourList> list = ListOf(what)) {
    SelectQuietly(List(*list), item);
  } else if (what == ViewerSelection::ColourSource) {
    SelectQuietly(List(ColourPageId::Source), item);
  } else if (what == ViewerSelection::ColourWindow) {
    SelectQuietly(List(ColourPageId::Window), item);
  } else if (what == ViewerSelection::Border) {
    SelectQuietly(List(ColourPageId::Border), item);
  }
}

}  // namespace quintara::ui
