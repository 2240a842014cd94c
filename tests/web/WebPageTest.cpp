// quintara-server's web page in headless chromium against the simulated devices: the list, the
// multiviewer's layouts and preview by mouse, keyboard and front panel, the matrix's routes, the
// token form, and how it lays out on a phone and a desktop.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "core/viewer/protocol/ViewerCommands.h"
#include "server/ServeLan.h"
#include "server/ServerProgram.h"
#include "support/HeadlessBrowser.h"
#include "support/HttpClient.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::server {
namespace {

using Json = nlohmann::json;
using test::HeadlessBrowser;

constexpr std::string_view kMultiviewer = "a1-51540001";
constexpr std::string_view kMatrix8 = "82-51540002";
constexpr std::string_view kMatrix16 = "83-51540003";
constexpr int kDefaultLayout = 40;
// Enough presses of Tab to go round the whole page.
constexpr int kMostTabs = 200;

// The script expression of the first element the selector matches.
std::string Query(std::string_view selector) {
  return "document.querySelector(" + Json(selector).dump() + ")";
}

// The selector of an element by the value of one of its data attributes.
std::string With(std::string_view scope, std::string_view attribute, std::string_view value) {
  return std::string(scope) + "[data-" + std::string(attribute) + "=\"" + std::string(value) +
         "\"]";
}
std::string With(std::string_view scope, std::string_view attribute, int value) {
  return With(scope, attribute, std::to_string(value));
}

std::string Texts(std::string_view selector) {
  return "[...document.querySelectorAll(" + Json(selector).dump() +
         ")].map(e => e.textContent.trim())";
}

std::string Shown(std::string_view selector) {
  return "(" + Query(selector) + "?.checkVisibility() ?? false)";
}

// The status row as the page shows it when output n is fed by inputs[n - 1].
Json StatusRow(const std::vector<int>& inputs) {
  Json texts = Json::array();
  for (const int input : inputs) {
    texts.push_back(std::to_string(input));
  }
  return texts;
}

std::vector<int> OneToOne(int channels) {
  std::vector<int> inputs(static_cast<std::size_t>(channels));
  std::iota(inputs.begin(), inputs.end(), 1);
  return inputs;
}

std::vector<int> Routes(const sim::SimMatrix& matrix) {
  const std::vector<std::uint8_t> routes = matrix.State().routes;
  return {routes.begin(), routes.end()};
}

// A UMD label set on the front panel: input, the fixed run, then the text in UTF-16LE.
void SetLabel(sim::SimMultiviewer& device, std::uint8_t input, std::string_view text) {
  std::vector<std::uint8_t> payload{input, 1, 0, 1, 0, 1, 0, 1};
  for (const char c : text) {
    payload.insert(payload.end(), {static_cast<std::uint8_t>(c), 0});
  }
  ASSERT_TRUE(device.FrontPanel(ViewerCode::SetUmdText, payload));
}

class WebPage : public ::testing::Test {
 protected:
  // Serves the simulated devices, with these options besides the link's, and waits for them.
  void Serve(const std::vector<std::string>& extra = {}) {
    ServeLan(program, lan, extra, headers, err);
  }

  // Opens the page in a new tab and waits until it has listed the devices.
  void OpenPage() {
    ASSERT_TRUE(browser.Start());
    browser.Open("http://127.0.0.1:" + std::to_string(program.Port()) + "/");
    ASSERT_TRUE(browser.AwaitTrue("document.body.dataset.ready === '1'"));
  }

  // Opens the device's panel from the list and waits until it shows it with nothing in flight.
  void Pick(std::string_view id) {
    browser.Click(With("#devices button", "device", id));
    ASSERT_TRUE(browser.AwaitEqual(Query("#panel") + "?.dataset.device", id));
    AwaitIdle();
  }

  void AwaitIdle() { ASSERT_TRUE(browser.AwaitTrue("document.body.dataset.busy === '0'")); }

  // Waits until the preview has drawn this layout: something on the canvas, its layout noted.
  ::testing::AssertionResult AwaitPreview(int layout) {
    return browser.AwaitEqual(R"((() => {
      const canvas = document.querySelector('canvas#preview');
      const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
      return pixels.some((value, i) => i % 4 === 3 && value !== 0) ? canvas.dataset.layout
                                                                     : 'nothing drawn';
    })())",
                              std::to_string(layout));
  }

  // Presses Tab until a layout button other than the current one has the focus; its layout.
  int TabToAnotherLayout(int current) {
    for (int presses = 0; presses < kMostTabs; ++presses) {
      browser.Press("Tab");
      const Json focused = browser.Evaluate(
          "document.activeElement?.closest('#layouts button')?.dataset.layout ?? null");
      if (focused.is_string() && focused != std::to_string(current)) {
        return std::stoi(focused.get<std::string>());
      }
    }
    return 0;
  }

  std::filesystem::path Shot(const std::string& name) {
    const std::filesystem::path path =
        std::filesystem::current_path() / "screenshots" / ("web-" + name + ".png");
    browser.Screenshot(path);
    std::cout << "screenshot: " << path.string() << std::endl;
    return path;
  }

  void TearDown() override {
    if (browser.ProcessId() > 0) {
      std::string errors;
      for (const std::string& error : browser.PageErrors()) {
        errors += "\n  " + error;
      }
      EXPECT_TRUE(errors.empty()) << "the page had errors:" << errors;
    }
  }

  test::SimulatedLan lan;
  std::ostringstream out;
  std::ostringstream err;
  LinkTiming timing = test::ShortSearchTiming();
  ServerProgram program{out, err, timing};
  test::HttpHeaders headers;
  HeadlessBrowser browser;
};

TEST_F(WebPage, ListsTheDevicesWithTheirTypesAndLocks) {
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_EQ(
      test::Http("POST", program.Port(), "/api/v1/devices/" + std::string(kMatrix16) + "/command",
                 R"({"args": ["lock", "on"]})")
          .status,
      200);
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  EXPECT_EQ(browser.Evaluate("[...document.querySelectorAll('#devices button[data-device]')]"
                             ".map(b => [b.dataset.device, b.dataset.type, b.dataset.locked])"
                             ".sort()"),
            Json::array({Json::array({kMatrix8, "matrix8", "0"}),
                         Json::array({kMatrix16, "matrix16", "1"}),
                         Json::array({kMultiviewer, "multiviewer", "0"})}));
}

// A layout chosen by mouse, then by keyboard alone, reaches the device and the preview.
TEST_F(WebPage, ALayoutButtonPressedByMouseOrKeyboardSetsTheDeviceAndThePreview) {
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  ASSERT_NO_FATAL_FAILURE(Pick(kMultiviewer));
  ASSERT_TRUE(AwaitPreview(kDefaultLayout));

  const std::string pressed = Query("#layouts button[aria-pressed=\"true\"]") + "?.dataset.layout";
  browser.Click(With("#layouts button", "layout", 90));
  // The simulator keeps a frame before it applies it: wait on its state, not on the frame.
  EXPECT_TRUE(test::AwaitCondition([&] { return lan.multiviewer->State().LayoutCode == 90; }));
  EXPECT_TRUE(AwaitPreview(90));
  EXPECT_TRUE(browser.AwaitEqual(pressed, "90"));
  ASSERT_NO_FATAL_FAILURE(AwaitIdle());
  EXPECT_NE(browser.Evaluate(Query("#message") + ".dataset.kind"), "error");

  const int chosen = TabToAnotherLayout(90);
  ASSERT_NE(chosen, 0) << "Tab never reached another layout button";
  browser.Press("Enter");
  EXPECT_TRUE(test::AwaitCondition([&] { return lan.multiviewer->State().LayoutCode == chosen; }));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetLayout).size(), 2u);
  EXPECT_TRUE(AwaitPreview(chosen));
  EXPECT_TRUE(browser.AwaitEqual(pressed, std::to_string(chosen)));
}

TEST_F(WebPage, FrontPanelChangesShowInThePreview) {
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  ASSERT_NO_FATAL_FAILURE(Pick(kMultiviewer));
  ASSERT_TRUE(AwaitPreview(kDefaultLayout));
  const std::string preview = Query("canvas#preview") + ".dataset";
  struct Change {
    const char* what;
    std::function<void(sim::SimMultiviewer&)> make;
    std::string shows;
    Json expected;
  };
  const std::vector<Change> changes{
      // Labels are not reported: the page learns of one when the state is read again.
      {"a label on input 1",
       [](sim::SimMultiviewer& device) {
         SetLabel(device, 1, "CAM ONE");
         device.SetSwitcherMode(0);
       },
       preview + ".labels.split('|')[0]", "CAM ONE"},
      {"layout 111", [](sim::SimMultiviewer& device) { device.SetLayout(111); },
       "[" + preview + ".layout, " + Query("#layouts button[aria-pressed=\"true\"]") +
           "?.dataset.layout]",
       Json::array({"111", "111"})},
      {"switcher mode", [](sim::SimMultiviewer& device) { device.SetSwitcherMode(1); },
       preview + ".switcher", "1"},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    change.make(*lan.multiviewer);
    EXPECT_TRUE(browser.AwaitEqual(change.shows, change.expected));
  }
}

// A window's source and a label edited on the page reach the multiviewer and its preview.
TEST_F(WebPage, SourcesAndLabelsEditedOnThePageReachTheDevice) {
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  ASSERT_NO_FATAL_FAILURE(Pick(kMultiviewer));
  ASSERT_TRUE(AwaitPreview(kDefaultLayout));

  browser.Evaluate("(s => { s.value = '7'; s.dispatchEvent(new Event('change')); })(" +
                   Query(With("#sources select", "window", 2)) + ")");
  EXPECT_TRUE(test::AwaitCondition([&] { return lan.multiviewer->State().WindowSource[1] == 7; }));
  ASSERT_NO_FATAL_FAILURE(AwaitIdle());

  browser.Click(With("#umd input", "input", 7));
  browser.Evaluate("document.activeElement.select()");
  browser.Type("Studio 7");
  browser.Press("Enter");
  EXPECT_TRUE(
      test::AwaitCondition([&] { return lan.multiviewer->State().UmdText[6] == u"Studio 7"; }));
  EXPECT_TRUE(
      browser.AwaitEqual(Query("canvas#preview") + ".dataset.labels.split('|')[1]", "Studio 7"))
      << "window 2 shows input 7 and its new label";
}

// Input 3 to outputs 1 and 4, then one to one, one to all, and a front-panel route fetched by
// Refresh: each on the switcher and in the status row alike.
TEST_F(WebPage, MatrixRoutesMadeOnThePageReachTheSwitcherAndTheStatusRow) {
  lan.matrix8->Route(5, 2);  // before the page opens: it shows what the device holds
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_NO_FATAL_FAILURE(OpenPage());
  ASSERT_NO_FATAL_FAILURE(Pick(kMatrix8));
  const std::string statusRow = Texts("#status-row [data-status]");
  std::vector<int> expected = OneToOne(8);
  expected[1] = 5;
  EXPECT_TRUE(browser.AwaitEqual(statusRow, StatusRow(expected)));

  browser.Click(With("#inputs button", "input", 3));
  for (const int output : {1, 4}) {
    browser.Click(With("#outputs button", "output", output));
    EXPECT_TRUE(browser.AwaitEqual(
        Query(With("#outputs button", "output", output)) + ".getAttribute('aria-pressed')",
        "true"));
  }
  browser.Click("#apply");
  expected[0] = expected[3] = 3;
  EXPECT_TRUE(test::AwaitCondition([&] { return Routes(*lan.matrix8) == expected; }))
      << "the switcher holds " << ::testing::PrintToString(Routes(*lan.matrix8));
  EXPECT_TRUE(browser.AwaitEqual(statusRow, StatusRow(expected)));

  ASSERT_NO_FATAL_FAILURE(AwaitIdle());
  browser.Click("#one-to-one");
  EXPECT_TRUE(test::AwaitCondition([&] { return Routes(*lan.matrix8) == OneToOne(8); }));
  EXPECT_TRUE(browser.AwaitEqual(statusRow, StatusRow(OneToOne(8))));

  ASSERT_NO_FATAL_FAILURE(AwaitIdle());
  browser.Click(With("#inputs button", "input", 6));
  browser.Click("#one-to-all");
  EXPECT_TRUE(test::AwaitCondition([&] { return Routes(*lan.matrix8) == std::vector<int>(8, 6); }));
  EXPECT_TRUE(browser.AwaitEqual(statusRow, StatusRow(std::vector<int>(8, 6))));
  ASSERT_NO_FATAL_FAILURE(AwaitIdle());
  browser.Click("#one-to-one");
  EXPECT_TRUE(test::AwaitCondition([&] { return Routes(*lan.matrix8) == OneToOne(8); }));

  ASSERT_NO_FATAL_FAILURE(AwaitIdle());
  lan.matrix8->Route(7, 8);
  browser.Click("#refresh");
  expected = OneToOne(8);
  expected[7] = 7;
  EXPECT_TRUE(browser.AwaitEqual(statusRow, StatusRow(expected)));

  ASSERT_NO_FATAL_FAILURE(Pick(kMatrix16));
  EXPECT_TRUE(browser.AwaitEqual(
      "['#inputs button[data-input]', '#outputs button[data-output]', '#status-row "
      "[data-status]'].map(s => document.querySelectorAll(s).length)",
      Json::array({16, 16, 16})));
}

TEST_F(WebPage, WithATokenThePageAsksOnceARefusalSaysSoAndAReloadKeepsIt) {
  const std::string tokenFile = ::testing::TempDir() + "/quintara-web-token";
  std::ofstream(tokenFile) << "s3cret-token\n";
  headers = {{"Authorization", "Bearer s3cret-token"}};
  ASSERT_NO_FATAL_FAILURE(Serve({"--token-file", tokenFile}));
  ASSERT_TRUE(browser.Start());
  browser.Open("http://127.0.0.1:" + std::to_string(program.Port()) + "/");
  ASSERT_TRUE(browser.AwaitTrue(Shown("form#token-form")));
  const std::string stored = "sessionStorage.getItem('quintara.token')";

  browser.Click("input#token");
  browser.Type("wrong-token");
  browser.Press("Enter");
  EXPECT_TRUE(browser.AwaitTrue(Query("#token-error") + ".textContent.trim() !== ''"));
  EXPECT_TRUE(browser.Evaluate(Shown("#token-error")));
  EXPECT_NE(browser.Evaluate("document.body.dataset.ready"), "1");
  EXPECT_EQ(browser.Evaluate(stored), nullptr) << "a refused token is not kept";

  browser.Click("input#token");
  browser.Evaluate("document.activeElement.select()");
  browser.Type("s3cret-token");
  browser.Press("Enter");
  ASSERT_TRUE(browser.AwaitTrue("document.body.dataset.ready === '1'"));
  const std::string devices = "document.querySelectorAll('#devices button[data-device]').length";
  EXPECT_EQ(browser.Evaluate(devices), 3);
  EXPECT_EQ(browser.Evaluate(stored), "s3cret-token");
  EXPECT_FALSE(browser.Evaluate(Shown("form#token-form")));

  browser.Reload();
  ASSERT_TRUE(browser.AwaitTrue("document.body.dataset.ready === '1'"));
  EXPECT_EQ(browser.Evaluate(devices), 3);
  EXPECT_FALSE(browser.Evaluate(Shown("form#token-form"))) << "asked again after a reload";
}

// Each panel at phone and desktop size, kept as screenshots; a phone never scrolls sideways.
TEST_F(WebPage, PanelsFitPhoneAndDesktopWidths) {
  struct Screen {
    const char* name;
    int width;
    int height;
    bool mobile;
  };
  constexpr std::array<Screen, 2> kScreens{
      {{"phone", 390, 844, true}, {"desktop", 1280, 800, false}}};
  ASSERT_NO_FATAL_FAILURE(Serve());
  ASSERT_TRUE(browser.Start());
  for (const Screen& screen : kScreens) {
    SCOPED_TRACE(screen.name);
    browser.SetViewport(screen.width, screen.height, screen.mobile);
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const auto fits = [&] {
      const Json widths = browser.Evaluate("[document.documentElement.scrollWidth, innerWidth]");
      EXPECT_LE(widths[0], widths[1]) << "the page scrolls sideways";
      EXPECT_EQ(widths[1], screen.width) << "the page's content widened the viewport";
    };
    ASSERT_NO_FATAL_FAILURE(Pick(kMultiviewer));
    ASSERT_TRUE(AwaitPreview(kDefaultLayout));
    fits();
    Shot(std::string(screen.name) + "-multiviewer");
    ASSERT_NO_FATAL_FAILURE(Pick(kMatrix8));
    ASSERT_TRUE(browser.AwaitEqual(Texts("#status-row [data-status]"), StatusRow(OneToOne(8))));
    fits();
    Shot(std::string(screen.name) + "-matrix");
  }
}

}  // namespace
}  // namespace quintara::server
