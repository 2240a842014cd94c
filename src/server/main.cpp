// quintara-server: every device the link finds, behind HTTP and a WebSocket of events.
#include <pthread.h>
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "server/ServerProgram.h"

int main(int argc, char** argv) {
  // Every thread started from here on leaves these to the wait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  const std::vector<std::string> args(argv + 1, argv + argc);
  quintara::server::ServerProgram program(std::cout, std::cerr);
  if (const int status = program.Start(args); status != quintara::server::kServerRunning) {
    return status;
  }
  int signal = 0;
  sigwait(&stopSignals, &signal);
  program.Stop();
  return 0;
}
