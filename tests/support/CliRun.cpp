#include "support/CliRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "cli/Cli.h"

extern char** environ;

namespace quintara::test {
namespace {

std::vector<std::string> WithLinkOptions(const LinkConfig& link,
                                         const std::vector<std::string>& args) {
  std::vector<std::string> full{"--bind",        link.bindAddress.ToText(),
                                "--local-port",  std::to_string(link.localPort),
                                "--status-port", std::to_string(link.statusPort),
                                "--device-port", std::to_string(link.devicePort)};
  for (const Ipv4Address& target : link.searchTargets) {
    full.insert(full.end(), {"--target", target.ToText()});
  }
  full.insert(full.end(), args.begin(), args.end());
  return full;
}

std::string ReadToEnd(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      text.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      return text;
    }
  }
}

}  // namespace

int RunCliOn(const LinkConfig& link, const std::vector<std::string>& args, const LinkTiming& timing,
             std::ostream& out, std::ostream& err) {
  return cli::RunCli(WithLinkOptions(link, args), out, err, timing);
}

CliRun RunCliOn(const LinkConfig& link, const std::vector<std::string>& args,
                const LinkTiming& timing) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = RunCliOn(link, args, timing, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

CliRun RunCliProgramOn(const std::string& programPath, const LinkConfig& link,
                       const std::vector<std::string>& args, const std::string& outputPath) {
  std::vector<std::string> words = WithLinkOptions(link, args);
  words.insert(words.begin(), programPath);
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  int errPipe[2];
  CliRun run;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    run.err = "no pipe for stderr";
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  pid_t pid = 0;
  const int started =
      posix_spawn(&pid, programPath.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(errPipe[1]);
  if (started != 0) {
    close(errPipe[0]);
    run.err = "cannot start " + programPath;
    return run;
  }
  run.err = ReadToEnd(errPipe[0]);
  close(errPipe[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace quintara::test
