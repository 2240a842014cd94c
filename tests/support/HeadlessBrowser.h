#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quintara::test {

// What went wrong in driving the browser: chromium gone or silent, or the page threw.
class BrowserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Chromium without a screen, driven over the DevTools protocol on a pipe: one tab at a time,
// real mouse and key input, and every console error and uncaught exception of the page kept.
// It reaches nothing but 127.0.0.1. Every wait ends at test::kPatience; chromium and what it
// started are ended, and its profile removed, when this is destroyed.
class HeadlessBrowser {
 public:
  using Json = nlohmann::json;
  using Clock = std::chrono::steady_clock;

  HeadlessBrowser() = default;
  ~HeadlessBrowser();
  HeadlessBrowser(const HeadlessBrowser&) = delete;
  HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

  // Starts $QUINTARA_CHROMIUM, else chromium from PATH, and waits until it answers.
  ::testing::AssertionResult Start();
  // Closes chromium (killing it if it does not end in time) and removes its profile.
  void Close();

  // The rest throw BrowserError when chromium fails or does not answer in time.
  // A new tab with the page loaded; the tab opened before is closed.
  void Open(const std::string& url);
  void Reload();
  // The value of a script expression; a promise is awaited. The page's exception is thrown.
  Json Evaluate(const std::string& expression);
  // Evaluates the expression until it equals expected; exceptions meanwhile count as not yet.
  ::testing::AssertionResult AwaitEqual(const std::string& expression, const Json& expected);
  ::testing::AssertionResult AwaitTrue(const std::string& expression) {
    return AwaitEqual(expression, true);
  }
  // A mouse click at the centre of the element, once it is visible and nothing covers it.
  void Click(const std::string& selector);
  // Text typed into the focused element.
  void Type(const std::string& text);
  // One key: Tab, Enter, Space, Escape, Backspace, ArrowUp, ArrowDown, ArrowLeft, ArrowRight.
  void Press(const std::string& key);
  void SetViewport(int width, int height, bool mobile);
  // The viewport as a PNG file; its folder is made when missing.
  void Screenshot(const std::filesystem::path& path);

  // Console errors, uncaught exceptions and dialogs of the pages so far (dialogs are dismissed:
  // a page that needs one cannot be driven).
  std::vector<std::string> PageErrors();

  pid_t ProcessId() const { return pid_; }

 private:
  // A command to the browser, or to the open tab, and its result.
  Json Call(const std::string& method, const Json& params = Json::object());
  Json CallTab(const std::string& method, const Json& params = Json::object());
  Json Answer(long id, const std::string& method, Clock::time_point deadline);
  // Sends a command whose answer nobody awaits; its id.
  long Send(const std::string& method, const Json& params, bool inTab, Clock::time_point deadline);
  // The next message from chromium; nothing when the deadline passed first.
  std::optional<Json> Receive(Clock::time_point deadline);
  // Takes in the events that arrive until the deadline or the first one.
  void Pump(Clock::time_point deadline);
  void TakeEvent(const Json& event);
  void Navigate(const std::function<void()>& start);
  // Evaluates until the script returns an object, which it answers; its other answers are why
  // not yet.
  Json AwaitObject(const std::string& expression, const std::string& purpose);
  bool Exited() const;
  void EndProcess();
  std::string OutputTail() const;

  pid_t pid_ = -1;
  int channel_ = -1;  // our end of the protocol's pipe
  std::filesystem::path scratch_;
  std::filesystem::path profile_;
  std::string received_;  // bytes read and not yet a whole message
  long nextId_ = 0;
  std::string targetId_;
  std::string sessionId_;
  bool loaded_ = false;
  std::optional<Json> viewport_;  // applied to every tab opened
  std::vector<std::string> pageErrors_;
};

}  // namespace quintara::test
