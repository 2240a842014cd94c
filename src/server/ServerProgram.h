#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "core/CommandLine.h"
#include "server/api/ApiService.h"
#include "server/http/HttpService.h"
#include "server/hub/DeviceHub.h"

namespace quintara::server {

// Exit statuses of quintara-server; Start returns kServerRunning once it serves.
inline constexpr int kServerRunning = -1;
inline constexpr int kServerStopped = 0;
inline constexpr int kServerUsage = 2;      // the options cannot be used; nothing was started
inline constexpr int kServerLinkSetup = 3;  // the listening socket, the status socket or the
                                            // serial port could not be had on this machine

// The limits every client meets.
HttpLimits ServerLimits();

// quintara-server from its options to its running parts: the hub, the API on it and the HTTP
// service in front.
class ServerProgram {
 public:
  ServerProgram(std::ostream& out, std::ostream& err, const LinkTiming& timing = {});
  ~ServerProgram();

  // Reads the options and starts serving: kServerRunning, or the exit status when it did not.
  int Start(std::span<const std::string> args);
  void Stop();
  // The port the service listens on, once running.
  std::uint16_t Port() const;

 private:
  int Usage(const std::string& problem);
  int Serve(const GlobalOptions& options, std::optional<AccessToken> token);

  std::ostream& out_;
  std::ostream& err_;
  LinkTiming timing_;
  std::unique_ptr<DeviceHub> hub_;
  std::unique_ptr<ApiService> api_;
  std::unique_ptr<HttpService> http_;
};

std::string ServerUsage();

}  // namespace quintara::server
