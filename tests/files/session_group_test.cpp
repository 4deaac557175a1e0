// The group of sessions recorded side by side: its header line, read back by
// the reader and the list's summary, and the group file that gives
// side-by-side recorders one id.
#include <gtest/gtest.h>

#include <fstream>

#include "files/session_file.h"
#include "files/session_group.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::TempFolder;

const LocalTime kStart{2026, 12, 9, 14, 3, 27, 0, 60};

std::string head(std::string group = {}) {
  SessionHeader h{kStart, "bench", 10, "."};
  h.group = std::move(group);
  return session_header_text(h);
}

std::string reading_line() {
  real_Record r;
  r.Index = 1;
  r.DateTime = kStart;
  r.Dated = true;
  r.Main_No.assign("3.3014");
  return session_reading_line(r);
}

TEST(SessionGroup, HeaderLineIsWrittenOnlyForAGroup) {
  const std::string plain =
      "tarvo-session\t1\nstarted\t2026-12-09T14:03:27+01:00\nfamily\tbench\ninterval\t10\n"
      "decimal\t.\n";
  EXPECT_EQ(head(), plain);
  EXPECT_EQ(head("20261209-140327-00af"), plain + "group\t20261209-140327-00af\n");
}

struct GroupCase {
  const char* name;
  std::string bytes;
  bool accepted;
  std::string group;
};

TEST(SessionGroup, ReaderTakesTheLineRightAfterTheHeaderOnly) {
  const std::string line = "group\tg1\n";
  const GroupCase cases[] = {
      {"no group", head() + reading_line(), true, ""},
      {"group after the header", head() + line + reading_line(), true, "g1"},
      {"group alone", head() + line, true, "g1"},
      {"group after a reading", head() + reading_line() + line, false, ""},
      {"group twice", head() + line + line + reading_line(), false, ""},
      {"group without an id", head() + "group\t\n" + reading_line(), false, ""},
      {"group with two fields", head() + "group\ta\tb\n", false, ""},
  };
  TempFolder dir;
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto contents = ParseSession(c.bytes, ".");
    ASSERT_EQ(contents.has_value(), c.accepted);
    if (!c.accepted) continue;
    EXPECT_EQ(contents->header.group, c.group);
    const fs::path file = dir / "s.tarvo-session";
    std::ofstream(file, std::ios::binary) << c.bytes;
    const auto summary = SummarizeSession(file);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->header.group, c.group);
    EXPECT_EQ(summary->readings, c.bytes.ends_with(line) ? 0 : 1);
  }
}

TEST(SessionGroup, RecordersThatOverlapShareTheFoundersIdAndALaterOneFoundsItsOwn) {
  TempFolder dir;
  const fs::path file = dir / "run" / "tarvo" / "group";
  auto first = SessionGroupMember::join(file);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->founder());
  first->settle("20261209-140327");
  EXPECT_EQ(first->id(), "20261209-140327");
  auto second = SessionGroupMember::join(file);
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->founder());
  EXPECT_EQ(second->id(), "20261209-140327");
  first.reset();  // the group lives on while one member does
  auto third = SessionGroupMember::join(file);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->id(), "20261209-140327");
  second.reset();
  third.reset();
  auto later = SessionGroupMember::join(file);
  ASSERT_TRUE(later);
  EXPECT_TRUE(later->founder());
  later->settle("20261209-150000");
  EXPECT_EQ(SessionGroupMember::join(file)->id(), "20261209-150000");
}

struct ListCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> sessions;  // file stem, group line
  std::vector<std::string> groups;
};

TEST(SessionGroup, AFounderIsInTheGroupThatNamesIt) {
  const ListCase cases[] = {
      {"alone", {{"a", ""}}, {""}},
      {"founder and member", {{"b", "a"}, {"a", ""}}, {"a", "a"}},
      {"founder's name named by none", {{"b", "x"}, {"a", ""}}, {"x", ""}},
      {"two groups", {{"d", "c"}, {"c", ""}, {"b", "a"}, {"a", ""}}, {"c", "c", "a", "a"}},
      {"a member whose founder is gone", {{"b", "a"}}, {"a"}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<SessionSummary> list;
    for (const auto& [stem, group] : c.sessions) {
      SessionSummary s;
      s.path = "/s/" + stem + ".tarvo-session";
      s.header.group = group;
      list.push_back(s);
    }
    EXPECT_EQ(session_groups(list), c.groups);
  }
}

TEST(SessionGroup, AnIdThatAHeaderCannotCarryIsReplaced) {
  TempFolder dir;
  const fs::path file = dir / "group";
  auto first = SessionGroupMember::join(file);
  ASSERT_TRUE(first);
  first->settle("a\tb");  // a founder's name a header cannot carry is not its id
  EXPECT_EQ(first->id().find('\t'), std::string::npos);
  EXPECT_FALSE(first->id().empty());
  for (const std::string_view bad : {"a\tb\n", "", "x\\y"}) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bad;
    auto joined = SessionGroupMember::join(file);
    ASSERT_TRUE(joined);
    EXPECT_FALSE(joined->id().empty());
    EXPECT_EQ(joined->id().find_first_of("\t\n\\"), std::string::npos);
    EXPECT_NE(joined->id(), bad);
  }
}

TEST(SessionGroup, NoGroupWhereTheFileCannotBeMade) {
  EXPECT_FALSE(SessionGroupMember::join("/proc/tarvo-no-such-folder/group"));
}

// A founder that never settles (its process stopped) holds the join lock: a
// later Start gives up on the group after a while instead of waiting for ever.
TEST(SessionGroup, AFounderThatNeverSettlesHoldsNoOneUpForLong) {
  TempFolder dir;
  const fs::path file = dir / "group";
  auto stuck = SessionGroupMember::join(file);
  ASSERT_TRUE(stuck);
  ASSERT_TRUE(stuck->founder());
  EXPECT_FALSE(SessionGroupMember::join(file));
  stuck->settle("s1");
  auto next = SessionGroupMember::join(file);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->id(), "s1");
}

}  // namespace
}  // namespace tarvo
