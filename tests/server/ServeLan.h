#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "server/ServerProgram.h"
#include "support/HttpClient.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::server {

// Starts quintara-server on the simulated devices' link, on a free port, with these options
// besides the link's, and waits until its first search has found the three devices.
inline void ServeLan(ServerProgram& program, const test::SimulatedLan& lan,
                     const std::vector<std::string>& extra, const test::HttpHeaders& headers,
                     const std::ostringstream& err) {
  std::vector<std::string> args = test::LinkArguments(lan.link);
  args.insert(args.end(), {"--listen", "127.0.0.1:0", "--search-interval", "0"});
  args.insert(args.end(), extra.begin(), extra.end());
  ASSERT_EQ(program.Start(args), kServerRunning) << err.str();
  ASSERT_TRUE(test::AwaitCondition([&] {
    const test::HttpResult devices =
        test::Http("GET", program.Port(), "/api/v1/devices", "", headers);
    return devices.status == 200 && nlohmann::json::parse(devices.body)["devices"].size() >= 3;
  })) << "the first search finds the three devices";
}

}  // namespace quintara::server
