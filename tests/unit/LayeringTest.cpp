// The layers of the source tree: each folder includes only from its own layer and the ones below
// it. A file that reaches upwards fails here, naming the include.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace quintara {
namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string folder;                // below src/
  std::vector<std::string> reaches;  // include prefixes it may use (its own included)
};

// Lowest first. Within core, the link knows nothing of the devices' mirrors or the controller;
// the devices' layer (viewer, matrix) and the controller share one layer.
const std::vector<Layer>& Layers() {
  static const std::vector<Layer> layers = {
      {"core/platform/", {"core/platform/"}},
      {"core/text/", {"core/platform/", "core/text/"}},
      {"core/link/", {"core/platform/", "core/text/", "core/link/"}},
      {"core/", {"core/"}},
      {"sim/", {"core/", "sim/"}},
      {"cli/", {"core/", "sim/", "cli/"}},
      {"server/http/", {"server/http/"}},  // the transport knows nothing of devices
      {"server/", {"core/", "cli/", "server/"}},
      {"ui/", {"core/", "ui/"}},
  };
  return layers;
}

const Layer& LayerOf(const std::string& file) {
  for (const Layer& layer : Layers()) {
    if (file.starts_with(layer.folder)) {
      return layer;
    }
  }
  static const Layer none{"", {}};
  return none;
}

// Every "quoted" include of the file.
std::vector<std::string> QuotedIncludes(const fs::path& path) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<std::string> found;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::smatch match;
    if (std::regex_search(line, match, include)) {
      found.push_back(match[1]);
    }
  }
  return found;
}

bool Allowed(const Layer& layer, const std::string& include) {
  for (const std::string& prefix : layer.reaches) {
    if (include.starts_with(prefix)) {
      return true;
    }
  }
  return false;
}

TEST(Layering, NoFileIncludesALayerAboveItsOwn) {
  const fs::path src = fs::path(QUINTARA_SOURCE_DIR) / "src";
  int filesRead = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
      continue;
    }
    const std::string file = fs::relative(entry.path(), src).generic_string();
    const Layer& layer = LayerOf(file);
    ASSERT_FALSE(layer.folder.empty()) << file << " is in no layer";
    ++filesRead;
    for (const std::string& include : QuotedIncludes(entry.path())) {
      // Generated headers and the file's own folder mates without a path stay inside it.
      if (include.find('/') == std::string::npos) {
        continue;
      }
      EXPECT_TRUE(Allowed(layer, include)) << file << " includes " << include;
    }
  }
  EXPECT_GT(filesRead, 50);
}

TEST(Layering, CoreUsesNoQt) {
  const fs::path core = fs::path(QUINTARA_SOURCE_DIR) / "src" / "core";
  static const std::regex qtInclude(R"(^\s*#\s*include\s*<Q)");
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(core)) {
    if (!entry.is_regular_file()) {
      continue;
    }
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      EXPECT_FALSE(std::regex_search(line, qtInclude)) << entry.path() << ": " << line;
    }
  }
}

}  // namespace
}  // namespace quintara
