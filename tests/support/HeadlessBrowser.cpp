#include "support/HeadlessBrowser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/Patience.h"

extern char** environ;

namespace quintara::test {
namespace {

using Json = HeadlessBrowser::Json;
using Clock = HeadlessBrowser::Clock;

constexpr const char* kInstallHint = "chromium is needed: bash scripts/install-deps.sh";
constexpr std::size_t kOutputTail = 2000;
// How often a wait looks at its condition again when no event arrives meanwhile.
constexpr std::chrono::milliseconds kLookAgain{20};

// Quiet, with nothing of its own to fetch, and unable to reach anything but 127.0.0.1: names do
// not resolve, and every other address goes to a proxy on the discard port, where nothing
// listens. Loopback bypasses the proxy, as chromium does by default.
const std::vector<std::string> kFlags{
    "--headless=new",
    "--remote-debugging-pipe",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-dev-shm-usage",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-default-apps",
    "--disable-extensions",
    "--no-pings",
    "--disable-domain-reliability",
    "--disable-features=MediaRouter,DialMediaRouteProvider,Translate,OptimizationHints",
    "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
    "--proxy-server=127.0.0.1:9",
};

struct KeyDefinition {
  const char* name;
  const char* key;
  const char* code;
  int keyCode;
  const char* text;  // what a keypress types; empty for keys that type nothing
};

constexpr std::array<KeyDefinition, 9> kKeys{{
    {"Tab", "Tab", "Tab", 9, ""},
    {"Enter", "Enter", "Enter", 13, "\r"},
    {"Space", " ", "Space", 32, " "},
    {"Escape", "Escape", "Escape", 27, ""},
    {"Backspace", "Backspace", "Backspace", 8, ""},
    {"ArrowLeft", "ArrowLeft", "ArrowLeft", 37, ""},
    {"ArrowUp", "ArrowUp", "ArrowUp", 38, ""},
    {"ArrowRight", "ArrowRight", "ArrowRight", 39, ""},
    {"ArrowDown", "ArrowDown", "ArrowDown", 40, ""},
}};

[[noreturn]] void Fail(const std::string& what) {
  throw BrowserError(what);
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// A descriptor above 4, so placing the child's pipe at 3 and 4 cannot overwrite it.
int AboveFour(int fd) {
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 5);
  close(fd);
  return moved;
}

std::string DecodeBase64(const std::string& text) {
  std::string bytes;
  unsigned bits = 0;
  int held = 0;
  for (const char c : text) {
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char* digit = c != '\0' ? std::strchr(digits, c) : nullptr;
    if (digit == nullptr) {
      continue;  // padding
    }
    bits = (bits << 6) | static_cast<unsigned>(digit - digits);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<char>((bits >> held) & 0xFF));
    }
  }
  return bytes;
}

std::string ArgumentsText(const Json& args) {
  std::string text;
  for (const Json& arg : args) {
    text += text.empty() ? "" : " ";
    if (arg.contains("value")) {
      text += arg["value"].is_string() ? arg["value"].get<std::string>() : arg["value"].dump();
    } else {
      text += arg.value("description", arg.value("type", std::string("?")));
    }
  }
  return text;
}

std::string ExceptionText(const Json& details) {
  std::string text = details.contains("exception")
                         ? details["exception"].value("description", details.value("text", ""))
                         : details.value("text", "");
  if (details.contains("url")) {
    text += " (" + details["url"].get<std::string>() + ":" +
            std::to_string(details.value("lineNumber", 0) + 1) + ")";
  }
  return text;
}

}  // namespace

HeadlessBrowser::~HeadlessBrowser() {
  Close();
}

::testing::AssertionResult HeadlessBrowser::Start() {
  if (pid_ > 0) {
    return ::testing::AssertionSuccess();
  }
  const char* chosen = std::getenv("QUINTARA_CHROMIUM");
  // Found on PATH unless the name has a slash; a missing program fails the spawn below.
  const std::string program = chosen != nullptr && *chosen != '\0' ? chosen : "chromium";
  std::string scratch = (std::filesystem::temp_directory_path() / "quintara-chromium-XXXXXX");
  if (mkdtemp(scratch.data()) == nullptr) {
    return ::testing::AssertionFailure() << "no scratch folder: " << std::strerror(errno);
  }
  scratch_ = scratch;
  profile_ = scratch_ / "profile";
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
    return ::testing::AssertionFailure() << "no pipe for chromium: " << std::strerror(errno);
  }
  channel_ = pair[0];
  const int theirs = AboveFour(pair[1]);
  const int output =
      AboveFour(open((scratch_ / "chromium.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));

  std::vector<std::string> words{program};
  words.insert(words.end(), kFlags.begin(), kFlags.end());
  words.push_back("--user-data-dir=" + profile_.string());
  words.emplace_back("about:blank");
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  // The child reads commands on 3 and writes answers on 4: one socket serves both, and our
  // end sends without SIGPIPE should chromium be gone. Its own group, so its helpers end too.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output, 1);
  posix_spawn_file_actions_adddup2(&actions, output, 2);
  posix_spawn_file_actions_adddup2(&actions, theirs, 3);
  posix_spawn_file_actions_adddup2(&actions, theirs, 4);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  const int spawned =
      posix_spawnp(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(theirs);
  close(output);
  if (spawned != 0) {
    pid_ = -1;
    Close();
    return ::testing::AssertionFailure()
           << kInstallHint << " (" << program << ": " << std::strerror(spawned) << ")";
  }
  try {
    Call("Browser.getVersion");
  } catch (const BrowserError& error) {
    const std::string tail = OutputTail();
    Close();
    return ::testing::AssertionFailure()
           << program << " did not start: " << error.what() << "\nits output ends:\n"
           << tail;
  }
  return ::testing::AssertionSuccess();
}

void HeadlessBrowser::Close() {
  if (pid_ > 0) {
    try {
      Send("Browser.close", Json::object(), false, Clock::now() + kPatience);
    } catch (const BrowserError&) {
      // gone already: ended below all the same
    }
    EndProcess();
  }
  if (channel_ >= 0) {
    close(channel_);
    channel_ = -1;
  }
  if (!scratch_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
    scratch_.clear();
  }
  received_.clear();
  targetId_.clear();
  sessionId_.clear();
}

bool HeadlessBrowser::Exited() const {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid_;
}

void HeadlessBrowser::EndProcess() {
  // Chromium is read meanwhile, so it never blocks on a full pipe while it shuts down.
  const auto deadline = Clock::now() + kPatience;
  while (!Exited() && Clock::now() < deadline) {
    pollfd watched{channel_, POLLIN, 0};
    if (channel_ >= 0 && poll(&watched, 1, static_cast<int>(kLookAgain.count())) > 0) {
      std::array<char, 65536> discarded{};
      if (read(channel_, discarded.data(), discarded.size()) <= 0) {
        close(channel_);
        channel_ = -1;
      }
    } else if (channel_ < 0) {
      std::this_thread::sleep_for(kLookAgain);
    }
  }
  // The group outlives its unreaped leader: what chromium left running ends with it.
  kill(-pid_, SIGKILL);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

std::string HeadlessBrowser::OutputTail() const {
  std::ifstream file(scratch_ / "chromium.log", std::ios::binary);
  const std::string all{std::istreambuf_iterator<char>(file), {}};
  return all.size() > kOutputTail ? all.substr(all.size() - kOutputTail) : all;
}

long HeadlessBrowser::Send(const std::string& method, const Json& params, bool inTab,
                           Clock::time_point deadline) {
  if (channel_ < 0) {
    Fail("chromium is not running (" + method + ")");
  }
  const long id = ++nextId_;
  Json message{{"id", id}, {"method", method}, {"params", params}};
  if (inTab) {
    message["sessionId"] = sessionId_;
  }
  const std::string text = message.dump() + '\0';
  for (std::size_t sent = 0; sent < text.size();) {
    pollfd watched{channel_, POLLOUT, 0};
    if (poll(&watched, 1, MillisecondsUntil(deadline)) == 0) {
      Fail("chromium took no command within the patience (" + method + ")");
    }
    const ssize_t n = send(channel_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno != EINTR && errno != EAGAIN) {
      Fail("chromium is gone (" + method + "): " + std::strerror(errno));
    }
    sent += n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  return id;
}

std::optional<Json> HeadlessBrowser::Receive(Clock::time_point deadline) {
  while (true) {
    if (const std::size_t end = received_.find('\0'); end != std::string::npos) {
      Json message = Json::parse(std::string_view(received_).substr(0, end), nullptr, false);
      received_.erase(0, end + 1);
      if (message.is_discarded()) {
        Fail("chromium sent what is not JSON");
      }
      return message;
    }
    if (channel_ < 0) {
      Fail("chromium is not running");
    }
    pollfd watched{channel_, POLLIN, 0};
    const int ready = poll(&watched, 1, MillisecondsUntil(deadline));
    if (ready == 0) {
      return std::nullopt;
    }
    std::array<char, 65536> chunk{};
    const ssize_t n = ready > 0 ? read(channel_, chunk.data(), chunk.size()) : -1;
    if (n == 0 || (n < 0 && errno != EINTR)) {
      close(channel_);
      channel_ = -1;
      Fail("chromium ended; its output ends:\n" + OutputTail());
    }
    received_.append(chunk.data(), static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
  }
}

Json HeadlessBrowser::Answer(long id, const std::string& method, Clock::time_point deadline) {
  while (true) {
    const std::optional<Json> message = Receive(deadline);
    if (!message) {
      Fail("chromium did not answer " + method + " within the patience");
    }
    if (!message->contains("id")) {
      TakeEvent(*message);
    } else if ((*message)["id"] == id) {
      if (message->contains("error")) {
        Fail(method + ": " + (*message)["error"].value("message", message->dump()));
      }
      return message->value("result", Json::object());
    }
  }
}

Json HeadlessBrowser::Call(const std::string& method, const Json& params) {
  const auto deadline = Clock::now() + kPatience;
  return Answer(Send(method, params, false, deadline), method, deadline);
}

Json HeadlessBrowser::CallTab(const std::string& method, const Json& params) {
  if (sessionId_.empty()) {
    Fail("no page is open (" + method + ")");
  }
  const auto deadline = Clock::now() + kPatience;
  return Answer(Send(method, params, true, deadline), method, deadline);
}

void HeadlessBrowser::Pump(Clock::time_point deadline) {
  if (const std::optional<Json> message = Receive(deadline); message && !message->contains("id")) {
    TakeEvent(*message);
  }
}

void HeadlessBrowser::TakeEvent(const Json& event) {
  if (event.value("sessionId", "") != sessionId_) {
    return;  // a tab closed before
  }
  const std::string method = event.value("method", "");
  const Json& params = event.contains("params") ? event["params"] : Json::object();
  if (method == "Page.loadEventFired") {
    loaded_ = true;
  } else if (method == "Runtime.consoleAPICalled" &&
             (params.value("type", "") == "error" || params.value("type", "") == "assert")) {
    pageErrors_.push_back("console." + params.value("type", "") + ": " +
                          ArgumentsText(params.value("args", Json::array())));
  } else if (method == "Runtime.exceptionThrown") {
    pageErrors_.push_back("uncaught: " + ExceptionText(params["exceptionDetails"]));
  } else if (method == "Page.javascriptDialogOpening") {
    pageErrors_.push_back("a " + params.value("type", "") +
                          " dialog: " + params.value("message", ""));
    // Not awaited: an answer awaited here would be taken for the one being waited on.
    Send("Page.handleJavaScriptDialog", {{"accept", false}}, true, Clock::now() + kPatience);
  } else if (method == "Inspector.targetCrashed") {
    pageErrors_.emplace_back("the tab crashed");
  }
}

void HeadlessBrowser::Navigate(const std::function<void()>& start) {
  loaded_ = false;
  start();
  const auto deadline = Clock::now() + kPatience;
  while (!loaded_) {
    if (Clock::now() >= deadline) {
      Fail("the page did not load within the patience");
    }
    Pump(deadline);
  }
}

void HeadlessBrowser::Open(const std::string& url) {
  if (!targetId_.empty()) {
    Call("Target.closeTarget", {{"targetId", targetId_}});
    targetId_.clear();
    sessionId_.clear();
  }
  targetId_ = Call("Target.createTarget", {{"url", "about:blank"}})["targetId"];
  sessionId_ =
      Call("Target.attachToTarget", {{"targetId", targetId_}, {"flatten", true}})["sessionId"];
  CallTab("Page.enable");
  CallTab("Runtime.enable");
  CallTab("Page.bringToFront");
  CallTab("Emulation.setFocusEmulationEnabled", {{"enabled", true}});
  if (viewport_) {
    CallTab("Emulation.setDeviceMetricsOverride", *viewport_);
  }
  Navigate([&] {
    const Json navigated = CallTab("Page.navigate", {{"url", url}});
    if (!navigated.value("errorText", "").empty()) {
      Fail("cannot load " + url + ": " + navigated["errorText"].get<std::string>());
    }
  });
}

void HeadlessBrowser::Reload() {
  Navigate([&] { CallTab("Page.reload"); });
}

Json HeadlessBrowser::Evaluate(const std::string& expression) {
  const Json answer = CallTab("Runtime.evaluate", {{"expression", expression},
                                                   {"returnByValue", true},
                                                   {"awaitPromise", true},
                                                   {"userGesture", true}});
  if (answer.contains("exceptionDetails")) {
    Fail(ExceptionText(answer["exceptionDetails"]));
  }
  return answer["result"].value("value", Json());
}

::testing::AssertionResult HeadlessBrowser::AwaitEqual(const std::string& expression,
                                                       const Json& expected) {
  const auto deadline = Clock::now() + kPatience;
  std::string last;
  while (true) {
    try {
      const Json value = Evaluate(expression);
      if (value == expected) {
        return ::testing::AssertionSuccess();
      }
      last = value.dump();
    } catch (const BrowserError& error) {
      last = error.what();
    }
    if (Clock::now() >= deadline || channel_ < 0) {
      return ::testing::AssertionFailure()
             << expression << " was not " << expected.dump() << " within " << kPatience.count()
             << " s; last: " << last;
    }
    Pump(std::min(deadline, Clock::now() + kLookAgain));
  }
}

Json HeadlessBrowser::AwaitObject(const std::string& expression, const std::string& purpose) {
  const auto deadline = Clock::now() + kPatience;
  std::string last;
  while (true) {
    try {
      Json value = Evaluate(expression);
      if (value.is_object()) {
        return value;
      }
      last = value.is_string() ? value.get<std::string>() : value.dump();
    } catch (const BrowserError& error) {
      last = error.what();
    }
    if (Clock::now() >= deadline || channel_ < 0) {
      Fail("cannot " + purpose + " within the patience: " + last);
    }
    Pump(std::min(deadline, Clock::now() + kLookAgain));
  }
}

void HeadlessBrowser::Click(const std::string& selector) {
  const Json centre = AwaitObject(R"((() => {
  const element = document.querySelector()" +
                                      Json(selector).dump() +
                                      R"();
  if (!element) return 'nothing matches';
  if (element.disabled) return 'it is disabled';
  element.scrollIntoView({block: 'center', inline: 'center', behavior: 'instant'});
  const box = element.getBoundingClientRect();
  if (box.width === 0 || box.height === 0) return 'it is not shown';
  const x = box.left + box.width / 2, y = box.top + box.height / 2;
  const hit = document.elementFromPoint(x, y);
  if (!hit || !element.contains(hit)) {
    return 'it is covered by ' + (hit ? hit.outerHTML.slice(0, 120) : 'nothing');
  }
  return {x, y};
})())",
                                  "click " + selector);
  const auto mouse = [&](const char* type, const char* button, int buttons, int clicks) {
    CallTab("Input.dispatchMouseEvent", {{"type", type},
                                         {"x", centre["x"]},
                                         {"y", centre["y"]},
                                         {"button", button},
                                         {"buttons", buttons},
                                         {"clickCount", clicks}});
  };
  mouse("mouseMoved", "none", 0, 0);
  mouse("mousePressed", "left", 1, 1);
  mouse("mouseReleased", "left", 0, 1);
}

void HeadlessBrowser::Type(const std::string& text) {
  CallTab("Input.insertText", {{"text", text}});
}

void HeadlessBrowser::Press(const std::string& key) {
  const auto* known = std::ranges::find(kKeys, key, &KeyDefinition::name);
  if (known == kKeys.end()) {
    Fail("no such key to press: " + key);
  }
  const bool types = *known->text != '\0';
  const Json down{{"type", types ? "keyDown" : "rawKeyDown"},
                  {"key", known->key},
                  {"code", known->code},
                  {"windowsVirtualKeyCode", known->keyCode},
                  {"nativeVirtualKeyCode", known->keyCode},
                  {"text", known->text},
                  {"unmodifiedText", known->text}};
  CallTab("Input.dispatchKeyEvent", down);
  CallTab("Input.dispatchKeyEvent", {{"type", "keyUp"},
                                     {"key", known->key},
                                     {"code", known->code},
                                     {"windowsVirtualKeyCode", known->keyCode},
                                     {"nativeVirtualKeyCode", known->keyCode}});
}

void HeadlessBrowser::SetViewport(int width, int height, bool mobile) {
  viewport_ =
      Json{{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", mobile}};
  if (!sessionId_.empty()) {
    CallTab("Emulation.setDeviceMetricsOverride", *viewport_);
  }
}

void HeadlessBrowser::Screenshot(const std::filesystem::path& path) {
  const Json shot = CallTab("Page.captureScreenshot", {{"format", "png"}});
  const std::string png = DecodeBase64(shot.value("data", ""));
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path());
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  if (!file.flush()) {
    Fail("cannot write " + path.string());
  }
}

std::vector<std::string> HeadlessBrowser::PageErrors() {
  while (channel_ >= 0) {
    const std::optional<Json> message = Receive(Clock::now());
    if (!message) {
      break;
    }
    if (!message->contains("id")) {
      TakeEvent(*message);
    }
  }
  return pageErrors_;
}

}  // namespace quintara::test
