// The folders of core/ depend one way. A folder may include its own headers
// and those of the folders before it in kLayers, never one after it: a
// back-edge would let the next change tie two folders into a knot that no
// single one can be built, tested or understood without.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The README's Layout section shows the same order.
constexpr std::array<std::string_view, 10> kLayers = {"i18n",    "decode",   "log",     "link",
                                                      "display", "files",    "publish", "alarm",
                                                      "combine", "recording"};

std::optional<std::size_t> layer_of(std::string_view folder) {
  const auto it = std::find(kLayers.begin(), kLayers.end(), folder);
  if (it == kLayers.end()) return std::nullopt;
  return static_cast<std::size_t>(it - kLayers.begin());
}

// Whether a file in folder `from` may include a header of folder `to`.
bool may_include(std::string_view from, std::string_view to) {
  const auto a = layer_of(from);
  const auto b = layer_of(to);
  return a && b && *b <= *a;
}

// The folder a quoted include names, or "" for one beside the including file
// or made by the build (version.h).
std::string included_folder(const fs::path& file, const std::string& include) {
  const fs::path core = TARVO_CORE_DIR;
  fs::path target = fs::path(include).lexically_normal();
  if (include.starts_with("..") || include.starts_with("./")) {
    target = (file.parent_path() / include).lexically_normal().lexically_relative(core);
  }
  if (std::distance(target.begin(), target.end()) < 2) return "";
  return target.begin()->string();
}

struct Edge {
  std::string file;
  std::string include;
};

std::vector<Edge> back_edges() {
  const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
  std::vector<Edge> found;
  for (const auto& entry : fs::recursive_directory_iterator(TARVO_CORE_DIR)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& file = entry.path();
    const auto ext = file.extension();
    if (ext != ".h" && ext != ".cpp") continue;
    const fs::path rel = file.lexically_relative(TARVO_CORE_DIR);
    const std::string from = std::distance(rel.begin(), rel.end()) > 1 ? rel.begin()->string() : "";
    std::ifstream in(file);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
      if (!std::regex_search(line, m, quoted)) continue;
      const std::string to = included_folder(file, m[1].str());
      if (to.empty() || to == from) continue;
      if (!may_include(from, to)) found.push_back({rel.string(), m[1].str()});
    }
  }
  return found;
}

TEST(CoreFolders, OrderAllowsOnlyEarlierFolders) {
  struct Case {
    std::string_view from, to;
    bool allowed;
  };
  const Case cases[] = {
      {"decode", "i18n", true},    {"log", "decode", true},
      {"link", "log", true},       {"display", "link", true},
      {"files", "display", true},  {"publish", "files", true},
      {"decode", "log", false},    {"decode", "link", false},
      {"log", "display", false},   {"link", "files", false},
      {"display", "files", false}, {"files", "publish", false},
      {"i18n", "decode", false},   {"ui", "log", false},
      {"log", "ui", false},        {"alarm", "publish", true},
      {"combine", "alarm", true},  {"combine", "files", true},
      {"alarm", "combine", false}, {"files", "combine", false},
      {"", "log", false},  // a file at core/'s top belongs to no layer
  };
  for (const Case& c : cases) {
    EXPECT_EQ(may_include(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
  }
}

TEST(CoreFolders, IncludedFolderResolvesRelativeIncludes) {
  const fs::path core = TARVO_CORE_DIR;
  EXPECT_EQ(included_folder(core / "log/x.cpp", "display/needle.h"), "display");
  EXPECT_EQ(included_folder(core / "log/x.cpp", "../display/needle.h"), "display");
  EXPECT_EQ(included_folder(core / "log/x.cpp", "reading_log.h"), "");
  EXPECT_EQ(included_folder(core / "log/x.cpp", "version.h"), "");
}

TEST(CoreFolders, NoFileIncludesAFolderAfterItsOwn) {
  for (const Edge& e : back_edges()) ADD_FAILURE() << e.file << " includes \"" << e.include << '"';
}

}  // namespace
