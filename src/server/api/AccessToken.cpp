#include "server/api/AccessToken.h"

#include <fstream>

namespace quintara::server {
namespace {

constexpr std::size_t kMaxTokenBytes = 4096;
constexpr std::string_view kBearer = "Bearer ";
constexpr std::string_view kBlanks = " \t\r\n";

}  // namespace

std::optional<AccessToken> AccessToken::FromFile(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read the token file " + path;
    return std::nullopt;
  }
  std::string line;
  line.resize(kMaxTokenBytes + 1);
  file.read(line.data(), static_cast<std::streamsize>(line.size()));
  line.resize(static_cast<std::size_t>(file.gcount()));
  if (line.size() > kMaxTokenBytes) {
    error = "the token file " + path + " holds more than a token";
    return std::nullopt;
  }
  line = line.substr(0, line.find('\n'));
  const std::size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string::npos) {
    error = "the token file " + path + " is empty";
    return std::nullopt;
  }
  line = line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
  return AccessToken(std::move(line));
}

bool AccessToken::Admits(std::string_view authorization) const {
  if (!authorization.starts_with(kBearer)) {
    return false;
  }
  return Matches(authorization.substr(kBearer.size()));
}

bool AccessToken::Matches(std::string_view candidate) const {
  // Every byte of the token is compared, whatever the candidate's length.
  unsigned difference = candidate.size() == token_.size() ? 0u : 1u;
  for (std::size_t i = 0; i < token_.size(); ++i) {
    const char offered = i < candidate.size() ? candidate[i] : '\0';
    difference |= static_cast<unsigned>(static_cast<unsigned char>(offered) ^
                                        static_cast<unsigned char>(token_[i]));
  }
  return difference == 0;
}

}  // namespace quintara::server
