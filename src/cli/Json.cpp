#include "cli/Json.h"

namespace quintara::cli {

void PrintJson(std::ostream& out, const Json& document) {
  out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << std::endl;
}

}  // namespace quintara::cli
