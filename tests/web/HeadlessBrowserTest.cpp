// The browser driver itself, on pages of its own: what the web page's tests rely on it to see
// and do, so a fault of the driver cannot pass for a sound page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/HeadlessBrowser.h"
#include "support/Patience.h"

namespace quintara::test {
namespace {

using Json = HeadlessBrowser::Json;

std::string DataPage(const std::string& html) {
  std::string url = "data:text/html;charset=utf-8,";
  for (const char c : html) {
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
    url += escaped;
  }
  return url;
}

bool Contains(const std::vector<std::string>& texts, const std::string& part) {
  return std::ranges::any_of(
      texts, [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

// The processes of the group still running; zombies have ended, whoever reaps them.
int RunningInGroup(pid_t group) {
  int running = 0;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", failed)) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    const std::size_t nameEnd = std::getline(stat, line) ? line.rfind(')') : std::string::npos;
    if (nameEnd == std::string::npos) {
      continue;
    }
    std::istringstream fields(line.substr(nameEnd + 1));
    char state = 'Z';
    pid_t parent = 0;
    pid_t processGroup = 0;
    fields >> state >> parent >> processGroup;
    running += processGroup == group && state != 'Z' ? 1 : 0;
  }
  return running;
}

class Driver : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(browser.Start()); }

  HeadlessBrowser browser;
};

TEST_F(Driver, ConsoleErrorsUncaughtExceptionsAndDialogsAreKeptAndThrownScriptsReported) {
  browser.Open(DataPage(R"(<script>
    console.log('only talk');
    console.error('boom', 42);
    setTimeout(() => { window.thrown = true; throw new Error('bang'); });
  </script>)"));
  ASSERT_TRUE(browser.AwaitTrue("window.thrown === true"));
  EXPECT_EQ(browser.Evaluate("alert('hello'), 'not held up'"), "not held up");
  const std::vector<std::string> errors = browser.PageErrors();
  EXPECT_EQ(errors.size(), 3u);
  EXPECT_TRUE(Contains(errors, "console.error: boom 42"));
  EXPECT_TRUE(Contains(errors, "Error: bang"));
  EXPECT_TRUE(Contains(errors, "alert dialog: hello"));

  EXPECT_EQ(browser.Evaluate("new Promise(done => setTimeout(() => done(6 * 7)))"), 42);
  try {
    browser.Evaluate("(() => { throw new TypeError('nope'); })()");
    ADD_FAILURE() << "the page's exception was not reported";
  } catch (const BrowserError& error) {
    EXPECT_NE(std::string(error.what()).find("TypeError: nope"), std::string::npos);
  }
}

// A click is the user's, at the element's centre once it can be clicked; keys move the focus
// and press what has it.
TEST_F(Driver, ClicksAndKeysAreTheUsersOwn) {
  browser.Open(DataPage(R"(<body style="margin:0">
    <div style="height:3000px"></div>
    <button id="far" disabled style="width:200px;height:60px">far</button>
    <input id="name"><button id="next">next</button>
    <script>
      window.clicks = [];
      setTimeout(() => { document.getElementById('far').disabled = false; }, 200);
      document.getElementById('far').addEventListener('click', event => {
        const box = event.target.getBoundingClientRect();
        clicks.push([event.isTrusted, Math.round(event.clientX - box.left),
                     Math.round(event.clientY - box.top)]);
      });
      window.pressed = 0;
      document.getElementById('next').addEventListener('click', () => ++pressed);
    </script></body>)"));
  browser.Click("#far");
  EXPECT_TRUE(browser.AwaitEqual("clicks", Json::array({Json::array({true, 100, 30})})));

  browser.Click("#name");
  browser.Type("Quintara ü");
  EXPECT_EQ(browser.Evaluate("document.getElementById('name').value"), "Quintara ü");
  browser.Press("Tab");
  EXPECT_EQ(browser.Evaluate("document.activeElement.id"), "next");
  browser.Press("Enter");
  browser.Press("Space");
  EXPECT_TRUE(browser.AwaitEqual("pressed", 2));
  EXPECT_THROW(browser.Press("F13"), BrowserError);
}

TEST_F(Driver, TheViewportIsTheScreenshotsAndNothingIsLeftBehind) {
  browser.SetViewport(390, 844, true);
  browser.Open(DataPage(R"(<meta name="viewport" content="width=device-width">hello)"));
  EXPECT_EQ(browser.Evaluate("innerWidth"), 390);
  const std::filesystem::path shot =
      std::filesystem::path(::testing::TempDir()) / "quintara-driver" / "shot.png";
  browser.Screenshot(shot);
  std::ifstream file(shot, std::ios::binary);
  const std::string png{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const auto bigEndian = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), 390);  // the header's width and height
  EXPECT_EQ(bigEndian(20), 844);

  const pid_t group = browser.ProcessId();
  const std::filesystem::path profile = browser.ProfileDir();
  ASSERT_TRUE(std::filesystem::exists(profile));
  browser.Close();
  EXPECT_TRUE(AwaitCondition([&] { return RunningInGroup(group) == 0; }))
      << RunningInGroup(group) << " processes of chromium's group are left";
  EXPECT_FALSE(std::filesystem::exists(profile));
  EXPECT_THROW(browser.Evaluate("1"), BrowserError);
}

TEST(DriverStart, WithoutChromiumItFailsSayingHowToInstallIt) {
  const char* before = std::getenv("QUINTARA_CHROMIUM");
  const std::string kept = before != nullptr ? before : "";
  setenv("QUINTARA_CHROMIUM", "/nonexistent/chromium", 1);
  HeadlessBrowser browser;
  const ::testing::AssertionResult started = browser.Start();
  if (before != nullptr) {
    setenv("QUINTARA_CHROMIUM", kept.c_str(), 1);
  } else {
    unsetenv("QUINTARA_CHROMIUM");
  }
  EXPECT_FALSE(started);
  EXPECT_NE(std::string(started.message()).find("chromium is needed: bash scripts/install-deps.sh"),
            std::string::npos)
      << started.message();
}

}  // namespace
}  // namespace quintara::test
