// Save targets that are not regular files: whatever sits at the name is
// refused by every writer and left exactly as it was.
#include "files/save_target.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/atomic_file.h"
#include "files/spreadsheet_export.h"
#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::numbered_log;
using sheet_test::read_bytes;
using sheet_test::TempFolder;

constexpr const char* kPrecious = "the user's own file\n";

// What a name holds, told apart well enough to see that nothing changed.
struct Entry {
  mode_t type = 0;
  dev_t device = 0;
  std::string link;
  std::string bytes;
  bool operator==(const Entry&) const = default;
};

Entry entry_at(const fs::path& file) {
  struct stat info {};
  Entry e;
  if (::lstat(file.c_str(), &info) != 0) return e;
  e.type = info.st_mode & S_IFMT;
  e.device = info.st_rdev;
  if (S_ISLNK(info.st_mode)) e.link = fs::read_symlink(file).string();
  if (S_ISREG(info.st_mode)) e.bytes = read_bytes(file);
  return e;
}

void make_socket(const fs::path& file) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  file.string().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
}

struct TargetCase {
  const char* name;
  bool needs_root;  // a device node can only be made by root
  std::function<void(const TempFolder&, const fs::path&)> plant;
};

// A planted link points at a file of the user elsewhere; saving through it
// would overwrite that file.
const TargetCase kTargets[] = {
    {"Fifo", false, [](const TempFolder&, const fs::path& t) { ::mkfifo(t.c_str(), 0600); }},
    {"Socket", false, [](const TempFolder&, const fs::path& t) { make_socket(t); }},
    {"Folder", false, [](const TempFolder&, const fs::path& t) { fs::create_directory(t); }},
    {"LinkToUsersFile", false,
     [](const TempFolder& f, const fs::path& t) {
       std::ofstream(f / "precious") << kPrecious;
       fs::create_symlink(f / "precious", t);
     }},
    {"LinkToDevNull", false,
     [](const TempFolder&, const fs::path& t) { fs::create_symlink("/dev/null", t); }},
    {"DanglingLink", false,
     [](const TempFolder& f, const fs::path& t) { fs::create_symlink(f / "nowhere", t); }},
    {"CharacterDevice", true,
     [](const TempFolder&, const fs::path& t) {
       ::mknod(t.c_str(), S_IFCHR | 0666, ::makedev(1, 3));
     }},
};

class NonRegularTarget : public ::testing::TestWithParam<TargetCase> {
 protected:
  void SetUp() override {
    if (GetParam().needs_root && ::geteuid() != 0) GTEST_SKIP() << "mknod needs root";
    GetParam().plant(folder_, target_);
    before_ = entry_at(target_);
    ASSERT_NE(before_.type, 0u);
    if (fs::exists(folder_ / "precious")) precious_ = read_bytes(folder_ / "precious");
  }
  void TearDown() override {
    if (IsSkipped()) return;
    EXPECT_EQ(entry_at(target_), before_);
    if (!precious_.empty()) {
      EXPECT_EQ(read_bytes(folder_ / "precious"), precious_);
    }
    EXPECT_EQ(entry_at(folder_ / "nowhere").type, 0u) << "a dangling link was followed";
  }

  TempFolder folder_;
  fs::path target_ = folder_ / "log.txt";
  Entry before_;
  std::string precious_;
};

TEST_P(NonRegularTarget, IsNamedAsAProblem) {
  EXPECT_TRUE(save_target_problem(target_).has_value());
}

TEST_P(NonRegularTarget, AtomicFileRefusesItBeforeWriting) {
  AtomicFile out(target_);
  EXPECT_FALSE(out.ok());
  EXPECT_NE(out.error().find("left as it is"), std::string::npos) << out.error();
  EXPECT_FALSE(out.write("x") || out.commit());
}

TEST_P(NonRegularTarget, TextLogAndSpreadsheetsRefuseIt) {
  const ReadingLog log = numbered_log(3);
  std::string why;
  EXPECT_FALSE(SaveTextLog(log, target_, &why));
  EXPECT_NE(why.find("left as it is"), std::string::npos) << why;
  for (const SpreadsheetFormat format :
       {SpreadsheetFormat::Xls, SpreadsheetFormat::Xlsx, SpreadsheetFormat::Csv}) {
    EXPECT_FALSE(ExportSpreadsheet(log, target_, format, {}, &why, "."));
  }
}

// The name is taken by something else while the bytes are written: the
// rename looks again and leaves it.
TEST_P(NonRegularTarget, PlantedWhileWritingIsLeftToo) {
  const fs::path target = target_;
  fs::rename(target, folder_ / "planted");
  AtomicFile out(target);
  ASSERT_TRUE(out.ok()) << out.error();
  ASSERT_TRUE(out.write("new bytes"));
  fs::rename(folder_ / "planted", target);
  EXPECT_FALSE(out.commit());
  EXPECT_NE(out.error().find("left as it is"), std::string::npos) << out.error();
}

INSTANTIATE_TEST_SUITE_P(Files, NonRegularTarget, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveTarget, FreeNamesAndRegularFilesAreFine) {
  const TempFolder folder;
  EXPECT_FALSE(save_target_problem(folder / "new.txt"));
  std::ofstream(folder / "old.txt") << "old";
  EXPECT_FALSE(save_target_problem(folder / "old.txt"));
  AtomicFile out(folder / "old.txt");
  ASSERT_TRUE(out.write("new") && out.commit()) << out.error();
  EXPECT_EQ(read_bytes(folder / "old.txt"), "new");
}

// A link to the folder is the user's own way to a place; only the last
// part of the name must not be a link.
TEST(SaveTarget, FolderReachedThroughALinkIsFine) {
  const TempFolder folder;
  fs::create_directory(folder / "real");
  fs::create_directory_symlink(folder / "real", folder / "via");
  AtomicFile out(folder / "via" / "log.txt");
  ASSERT_TRUE(out.write("new") && out.commit()) << out.error();
  EXPECT_EQ(read_bytes(folder / "real" / "log.txt"), "new");
}

}  // namespace
}  // namespace tarvo
