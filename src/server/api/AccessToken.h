#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quintara::server {

// The token every request must carry when the service was given a token file.
class AccessToken {
 public:
  // The token the file holds (its first line, without surrounding blanks); nothing, with the
  // reason in error, for a file that cannot be read, is empty or is larger than a token can be.
  static std::optional<AccessToken> FromFile(const std::string& path, std::string& error);
  explicit AccessToken(std::string token) : token_(std::move(token)) {}

  // Whether an Authorization header carries the token ("Bearer TOKEN"). The comparison takes
  // as long whichever byte differs, so timing tells nothing of the token.
  bool Admits(std::string_view authorization) const;
  // The same for a token given bare (the events socket's access_token, which a browser's
  // WebSocket cannot put in a header).
  bool Matches(std::string_view candidate) const;

 private:
  std::string token_;
};

}  // namespace quintara::server
