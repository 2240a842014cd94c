#include "server/ServerProgram.h"

namespace quintara::server {

HttpLimits ServerLimits() {
  HttpLimits limits;
  limits.maxBodyBytes = 64 * 1024;  // a settings file is some 6 KiB
  limits.maxClients = 64;
  limits.idleTimeout = std::chrono::seconds(30);
  return limits;
}

std::string ServerUsage() {
  return "Usage: quintara-server [options]\n"
         "Serves every Quintara device the link finds over HTTP (JSON under /api/v1) and a\n"
         "WebSocket of events (/api/v1/events); /api/v1/openapi.json describes the API.\n\n" +
         GlobalOptionsHelp(OptionSet::Server) +
         "\nListening on an address other than loopback needs --token-file.\n"
         "Exit status: 0 stopped by SIGINT or SIGTERM; 2 bad usage, nothing started; 3 this\n"
         "machine's end of a link could not be had (the listening address, the status port,\n"
         "the serial port).\n";
}

ServerProgram::ServerProgram(std::ostream& out, std::ostream& err, const LinkTiming& timing)
    : out_(out), err_(err), timing_(timing) {}

ServerProgram::~ServerProgram() {
  Stop();
}

int ServerProgram::Usage(const std::string& problem) {
  err_ << "quintara-server: " << problem << "\nTry 'quintara-server --help'.\n";
  return kServerUsage;
}

int ServerProgram::Start(std::span<const std::string> args) {
  const CommandLine commandLine = ParseCommandLine(args, OptionSet::Server);
  const GlobalOptions& options = commandLine.options;
  if (!commandLine.error.empty()) {
    return Usage(commandLine.error);
  }
  if (options.help) {
    out_ << ServerUsage();
    return kServerStopped;
  }
  if (options.version) {
    out_ << VersionLine("quintara-server");
    return kServerStopped;
  }
  if (!commandLine.arguments.empty()) {
    return Usage("quintara-server takes options only, not '" + commandLine.arguments[0] + "'");
  }
  std::optional<AccessToken> token;
  if (options.server.tokenFile) {
    std::string error;
    token = AccessToken::FromFile(*options.server.tokenFile, error);
    if (!token) {
      return Usage(error);
    }
  } else if (options.server.listenAddress.octets[0] != 127) {
    return Usage("listening on " + options.server.listenAddress.ToText() +
                 " needs --token-file: anyone who reaches it could drive the devices");
  }
  return Serve(options, std::move(token));
}

int ServerProgram::Serve(const GlobalOptions& options, std::optional<AccessToken> token) {
  // The hub's thread publishes only once started, after the service exists.
  hub_ = std::make_unique<DeviceHub>(
      options, timing_, [this](std::string event) { http_->Broadcast(std::move(event)); });
  api_ = std::make_unique<ApiService>(*hub_, std::move(token));
  http_ = std::make_unique<HttpService>(*api_, ServerLimits());
  std::string error;
  const std::string address = options.server.listenAddress.ToText();
  if (!http_->Listen(address, options.server.listenPort, error)) {
    err_ << "quintara-server: cannot listen on " << address << ":" << options.server.listenPort
         << ": " << error << "\n";
    return kServerLinkSetup;
  }
  http_->Start();
  if (!hub_->Start(error)) {
    err_ << "quintara-server: " << error << "\n";
    http_->Stop();
    return kServerLinkSetup;
  }
  out_ << "quintara-server serving http://" << address << ":" << http_->Port() << "/api/v1"
       << std::endl;
  return kServerRunning;
}

void ServerProgram::Stop() {
  if (hub_) {
    hub_->Stop();
  }
  if (http_) {
    http_->Stop();
  }
}

std::uint16_t ServerProgram::Port() const {
  return http_ ? http_->Port() : 0;
}

}  // namespace quintara::server
