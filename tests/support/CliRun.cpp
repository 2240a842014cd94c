#include "support/CliRun.h"

#include <sstream>

#include "cli/Cli.h"

namespace quintara::test {

int RunCliOn(const LinkConfig& link, const std::vector<std::string>& args, const LinkTiming& timing,
             std::ostream& out, std::ostream& err) {
  std::vector<std::string> full{"--bind",        link.bindAddress.ToText(),
                                "--local-port",  std::to_string(link.localPort),
                                "--status-port", std::to_string(link.statusPort),
                                "--device-port", std::to_string(link.devicePort)};
  for (const Ipv4Address& target : link.searchTargets) {
    full.insert(full.end(), {"--target", target.ToText()});
  }
  full.insert(full.end(), args.begin(), args.end());
  return cli::RunCli(full, out, err, timing);
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

}  // namespace quintara::test
