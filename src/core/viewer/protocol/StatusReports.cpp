#include "core/viewer/protocol/StatusReports.h"

#include <algorithm>
#include <cstdio>

#include "core/link/ControlFrame.h"
#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReportCodes.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

constexpr std::size_t kFirstValue = frame::kValuesOffset;  // v; u and t follow
static_assert(ReportBytes::kKept == kFirstValue + 3, "a report keeps v, u and t");

// The colour reports name an item 0-16; item 0 stands for the first entry.
std::size_t ItemEntry(std::uint8_t item) {
  return item == 0 ? 0 : item - 1u;
}

// Value n of a report (v, u, t); callers make sure the report holds what its code reads.
std::uint8_t ValueAt(std::span<const std::uint8_t> report, std::size_t n) {
  const std::size_t offset = kFirstValue + n;
  return offset < report.size() ? report[offset] : 0;
}

// Without a panel (the command line's watch, the server) the mirror follows the device as its
// own mode says: a source report is a route while it runs as a switcher, else a window's source.
std::uint8_t PageOfTheDevicesMode(const ViewerState& viewer) {
  return viewer.SwitcherMode == 1 ? ViewerPage::Switcher : ViewerPage::Mode;
}

class ReportApplier {
 public:
  ReportApplier(DeviceSession& session, std::span<const std::uint8_t> report)
      : viewer_(session.Viewer()),
        views_(session.ViewerViews()),
        panel_(session.Panel()),
        page_(panel_ ? panel_->CurrentPage : PageOfTheDevicesMode(viewer_)),
        v_(ValueAt(report, 0)),
        u_(ValueAt(report, 1)),
        t_(ValueAt(report, 2)) {}

  void Apply(std::uint8_t code);
  // False when the rules dropped the report (a number out of range, a code not reported).
  bool Applied() const { return applied_; }

 private:
  bool Shown(std::uint8_t page) const { return page_ == page; }
  void Drop() { applied_ = false; }
  void Repaint() {
    views_.Notify([](ViewerView& view) { view.RepaintPreview(); });
  }
  void Select(ViewerSelection what, int item, int index = 0) {
    views_.Notify([=](ViewerView& view) { view.SelectionChanged(what, index, item); });
  }
  void Switch(ViewerSwitch what, std::uint8_t value, int index = 0) {
    views_.Notify([=](ViewerView& view) { view.SwitchChanged(what, index, value != 0); });
  }

  void Layout();
  void WindowSource();
  void UmdOn();
  void MeterOn();
  void UmdColour(bool text);
  void FormatColour(bool text);
  void TimecodeColour(bool text);
  void MeterChannels();

  // The open panel's item selections follow the item a report names.
  void SelectItem(std::uint8_t PanelSelections::*item, std::uint8_t value) {
    if (panel_ != nullptr) {
      panel_->*item = value;
    }
  }

  ViewerState& viewer_;
  Views<ViewerView>& views_;
  PanelSelections* const panel_;
  const std::uint8_t page_;
  const std::uint8_t v_;
  const std::uint8_t u_;
  const std::uint8_t t_;
  bool applied_ = true;
};

void ReportApplier::Apply(std::uint8_t code) {
  switch (code) {
    case ViewerCode::SetOutputFormat:
      viewer_.OutputFormat = u_;
      if (const auto item = OutputFormatItem(u_); item && Shown(ViewerPage::System)) {
        Select(ViewerSelection::OutputFormat, static_cast<int>(*item));
      }
      return;
    case ViewerCode::SetLayout:
      return Layout();
    case ViewerCode::SetWindowSource:
      return WindowSource();
    case ViewerCode::SetUmdOn:
      return UmdOn();
    case ViewerCode::SetMeterOn:
      return MeterOn();
    case ViewerCode::SetAudioSource:
      viewer_.AudioSource = v_;
      if (Shown(ViewerPage::Audio)) {
        Select(ViewerSelection::AudioSource, v_);
        Repaint();
      }
      return;
    case ViewerCode::FormatStatusReport:
    case ViewerCode::SetFormatStatus:
      viewer_.FormatStatusOn = v_;
      Repaint();
      if (Shown(ViewerPage::System)) {
        Switch(ViewerSwitch::FormatStatus, v_);
      }
      return;
    case ViewerCode::SetUmdTextColour:
    case ViewerCode::SetUmdBackColour:
      return UmdColour(code == ViewerCode::SetUmdTextColour);
    case ViewerCode::SetFormatTextColour:
    case ViewerCode::SetFormatBackColour:
      return FormatColour(code == ViewerCode::SetFormatTextColour);
    case ViewerCode::SetTimecodeTextColour:
    case ViewerCode::SetTimecodeBackColour:
      return TimecodeColour(code == ViewerCode::SetTimecodeTextColour);
    case ViewerCode::SetBorder:
      viewer_.BorderOn = v_;
      if (Shown(ViewerPage::Colour)) {
        Select(ViewerSelection::Border, v_);
      }
      Repaint();
      return;
    case ViewerCode::WindowSignalReport:
      viewer_.WindowSignal[v_] = {u_, t_};
      RefreshFormatTexts(viewer_);
      Repaint();
      return;
    case ViewerCode::SetMeterChannels:
      return MeterChannels();
    case ViewerCode::TimecodeReport:
    case ViewerCode::SetTimecode:
      viewer_.TimecodeOn = v_;
      if (Shown(ViewerPage::System)) {
        Switch(ViewerSwitch::Timecode, v_);
      }
      return;
    case ViewerCode::SetAudioAlarm:
      viewer_.AudioAlarmOn = v_;
      if (Shown(ViewerPage::System)) {
        Switch(ViewerSwitch::AudioAlarm, v_);
      }
      return;
    case ViewerCode::SetAllMeters:
      viewer_.AllMetersOn = v_;
      Repaint();
      if (Shown(ViewerPage::Audio)) {
        Switch(ViewerSwitch::AllMeters, v_);
      }
      return;
    case ViewerCode::SetAllUmd:
      viewer_.AllUmdOn = v_;
      Repaint();
      if (Shown(ViewerPage::Umd)) {
        Switch(ViewerSwitch::AllUmd, v_);
      }
      return;
    default:
      return Drop();
  }
}

void ReportApplier::Layout() {
  viewer_.LayoutCode = v_;
  if (Shown(ViewerPage::Switcher)) {
    return;  // the preview keeps the switcher grid
  }
  RefreshLayout(viewer_);
  Repaint();
  if (Shown(ViewerPage::Mode)) {
    views_.Notify([](ViewerView& view) { view.RefreshPage(ViewerPage::Mode); });
    if (v_ >= 1 && v_ <= 16) {
      Select(ViewerSelection::ModeSource, v_ - 1, 1);
    }
  }
}

void ReportApplier::WindowSource() {
  const std::uint8_t input = v_;
  const std::uint8_t window = u_;
  if (Shown(ViewerPage::Switcher)) {
    viewer_.SwitcherSource[window - 1] = input;
    Select(ViewerSelection::SwitcherOutput, input - 1, window);
    viewer_.SwitcherRects[window - 1].number = input;
  } else if (Shown(ViewerPage::Mode)) {
    viewer_.WindowSource[window - 1] = input;
    Select(ViewerSelection::ModeSource, input - 1, window);
  }
  Repaint();
}

void ReportApplier::UmdOn() {
  viewer_.UmdOn[v_ - 1] = u_;
  Repaint();
  if (Shown(ViewerPage::Umd)) {
    Switch(ViewerSwitch::UmdOn, u_, v_);
  }
}

void ReportApplier::MeterOn() {
  SelectItem(&PanelSelections::AudioWindowItem, static_cast<std::uint8_t>(v_ - 1));
  Repaint();
  viewer_.MeterOn[v_ - 1] = u_;
  if (Shown(ViewerPage::Audio)) {
    Select(ViewerSelection::AudioWindow, v_ - 1);
    Switch(ViewerSwitch::MeterOn, viewer_.MeterOn[v_ - 1]);
    Select(ViewerSelection::MeterChannels, viewer_.MeterChannels[v_ - 1]);
  }
}

void ReportApplier::MeterChannels() {
  SelectItem(&PanelSelections::AudioWindowItem, static_cast<std::uint8_t>(v_ - 1));
  viewer_.MeterChannels[v_ - 1] = u_;
  if (Shown(ViewerPage::Audio)) {
    Select(ViewerSelection::AudioWindow, v_ - 1);
    Select(ViewerSelection::MeterChannels, u_);
    Switch(ViewerSwitch::MeterOn, viewer_.MeterOn[v_ - 1]);
  }
}

void ReportApplier::UmdColour(bool text) {
  const std::size_t entry = ItemEntry(v_);
  SelectItem(&PanelSelections::ColourSourceItem, v_);
  (text ? viewer_.UmdTextColour : viewer_.UmdBackColour)[entry] = u_;
  if (Shown(ViewerPage::Colour)) {
    Select(ViewerSelection::ColourSource, v_);
    Select(ViewerSelection::UmdTextColour, viewer_.UmdTextColour[entry]);
    Select(ViewerSelection::UmdBackColour, viewer_.UmdBackColour[entry]);
  }
  RefreshColours(viewer_, text ? ColourTable::UmdText : ColourTable::UmdBack);
  Repaint();
}

void ReportApplier::FormatColour(bool text) {
  const std::size_t entry = ItemEntry(v_);
  SelectItem(&PanelSelections::ColourWindowItem, v_);
  (text ? viewer_.FormatTextColour : viewer_.FormatBackColour)[entry] = u_;
  if (Shown(ViewerPage::Colour)) {
    Select(ViewerSelection::ColourWindow, v_);
    Select(ViewerSelection::FormatTextColour, viewer_.FormatTextColour[entry]);
    Select(ViewerSelection::FormatBackColour, viewer_.FormatBackColour[entry]);
  }
  RefreshColours(viewer_, text ? ColourTable::FormatText : ColourTable::FormatBack);
  Repaint();
}

void ReportApplier::TimecodeColour(bool text) {
  const std::size_t entry = ItemEntry(v_);
  SelectItem(&PanelSelections::ColourWindowItem, v_);
  (text ? viewer_.TimecodeTextColour : viewer_.TimecodeBackColour)[entry] = u_;
  if (Shown(ViewerPage::Colour)) {
    Select(ViewerSelection::ColourWindow, v_);
    Select(ViewerSelection::TimecodeTextColour, viewer_.TimecodeTextColour[entry]);
    Select(ViewerSelection::TimecodeBackColour, viewer_.TimecodeBackColour[entry]);
  }
  Repaint();
}

}  // namespace

std::size_t ReportBytesNeeded(std::uint8_t commandCode) {
  const ReportCode* report = FindReportCode(commandCode);
  return report ? BytesNeeded(*report) : 0;
}

ReportCheck CheckReport(std::span<const std::uint8_t> datagram,
                        std::span<const std::uint8_t, 4> identity) {
  if (datagram.size() <= frame::kCommandCodeOffset ||
      !std::ranges::equal(datagram.subspan(frame::kIdentityOffset, identity.size()), identity)) {
    return ReportCheck::NotOurs;
  }
  const std::size_t needed = ReportBytesNeeded(datagram[frame::kCommandCodeOffset]);
  if (needed == 0) {
    return ReportCheck::NotOurs;
  }
  // The frame's own Length says where its sum and trailer are; the values lie before the sum.
  const bool whole = IsWholeFrame(datagram) && FrameLength(datagram) >= needed + 3 &&
                     datagram[frame::kDeviceTypeOffset] == kMultiviewerType;
  return whole && ValuesInRange(datagram) ? ReportCheck::Intact : ReportCheck::Corrupt;
}

bool IsReportOf(std::span<const std::uint8_t> datagram, std::span<const std::uint8_t, 4> identity) {
  return CheckReport(datagram, identity) == ReportCheck::Intact;
}

ReportBytes ReportBytes::Of(std::span<const std::uint8_t> datagram) {
  ReportBytes report;
  const std::size_t size = std::min(datagram.size(), report.bytes.size());
  std::copy_n(datagram.begin(), size, report.bytes.begin());
  report.size = static_cast<std::uint8_t>(size);
  return report;
}

bool ValuesInRange(std::span<const std::uint8_t> report) {
  const ReportCode* entry = FindReportCode(report[frame::kCommandCodeOffset]);
  return entry == nullptr || entry->inRange(ValueAt(report, 0), ValueAt(report, 1));
}

bool IsReReadReport(std::uint8_t commandCode) {
  const ReportCode* report = FindReportCode(commandCode);
  return report && report->reReads;
}

bool ApplyStatusReport(DeviceSession& session, std::span<const std::uint8_t> report) {
  if (!ValuesInRange(report)) {
    return false;
  }
  ReportApplier applier(session, report);
  applier.Apply(report[frame::kCommandCodeOffset]);
  return applier.Applied();
}

ReportSummary SummariseReport(std::span<const std::uint8_t> report) {
  const std::uint8_t code = report[frame::kCommandCodeOffset];
  const ReportCode* entry = FindReportCode(code);
  ReportSummary summary{code, entry ? std::string(entry->what) : "report", {}};
  for (std::size_t n = 0; entry && n < entry->values; ++n) {
    summary.values.push_back(ValueAt(report, n));
  }
  return summary;
}

std::string DescribeReport(std::span<const std::uint8_t> report) {
  const ReportSummary summary = SummariseReport(report);
  char head[16];
  std::snprintf(head, sizeof head, "0x%02X ", summary.code);
  std::string text = std::string(head) + summary.what;
  for (std::size_t n = 0; n < summary.values.size(); ++n) {
    text += (n == 0 ? ": " : " ") + std::to_string(summary.values[n]);
  }
  return text;
}

void FinishReRead(DeviceSession& session, std::uint8_t commandCode) {
  ViewerState& viewer = session.Viewer();
  RefreshAll(viewer);
  Views<ViewerView>& views = session.ViewerViews();
  views.Notify([](ViewerView& view) { view.RepaintPreview(); });
  PanelSelections* panel = session.Panel();
  if (panel == nullptr) {
    return;
  }
  if (commandCode != ViewerCode::LoadCustom) {
    panel->ColourSourceItem = 0;
    panel->ColourWindowItem = 0;
    panel->AudioWindowItem = 0;
  }
  if (panel->CurrentPage != 0 && panel->CurrentPage != ViewerPage::Switcher) {
    views.Notify([page = panel->CurrentPage](ViewerView& view) { view.RefreshPage(page); });
  }
}

}  // namespace quintara
