#include "core/platform/Prompter.h"

namespace quintara {

bool StartSocketLibrary(Prompter& /*prompter*/) {
  return true;
}

}  // namespace quintara
