// The reader takes its file in pieces of 1 MiB: these cases put line breaks,
// characters and encoding changes across the seams, and hand it inputs that
// are no log at all.
#include <iconv.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/text_log.h"
#include "odd_inputs.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::numbered_log;
using sheet_test::TempFolder;

constexpr std::size_t kPiece = std::size_t{1} << 20;

std::vector<real_Record> records_of(const ReadingLog& log) {
  std::vector<real_Record> out;
  for (std::int64_t n = 1; n <= log.count(); ++n) out.push_back(log[n]);
  return out;
}

std::string converted(const std::string& utf8, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  std::string out(utf8.size() * 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* dest = out.data();
  std::size_t dest_left = out.size();
  iconv(cd, &in, &in_left, &dest, &dest_left);
  iconv_close(cd);
  out.resize(out.size() - dest_left);
  return out;
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  std::string out;
  for (std::size_t pos = 0;;) {
    const std::size_t hit = text.find(from, pos);
    out.append(text, pos, hit == std::string::npos ? std::string::npos : hit - pos);
    if (hit == std::string::npos) return out;
    out += to;
    pos = hit + from.size();
  }
}

// Text after a record's last TAB is not read; padding there moves every later
// byte, so that the first CR LF past the first piece's end straddles it.
std::string with_break_on_the_seam(std::string text) {
  const std::size_t crlf = text.find("\r\n", kPiece - 200);
  const std::size_t pad = kPiece - 1 - crlf;
  const std::size_t first_record_end = text.find("\r\n", text.find("\r\n") + 2);
  return text.insert(first_record_end, pad, 'x');
}

struct SeamCase {
  const char* name;
  std::string (*bytes)(const std::string& utf8);
};

const SeamCase kSeams[] = {
    {"Utf8", [](const std::string& t) { return t; }},
    {"Utf8Marked", [](const std::string& t) { return "\xEF\xBB\xBF" + t; }},
    {"LoneCr", [](const std::string& t) { return replaced(t, "\r\n", "\r"); }},
    {"LoneLf", [](const std::string& t) { return replaced(t, "\r\n", "\n"); }},
    {"CrLfOnTheSeam", [](const std::string& t) { return with_break_on_the_seam(t); }},
    {"Utf16Le", [](const std::string& t) { return "\xFF\xFE" + converted(t, "UTF-16LE"); }},
    {"Utf16Be", [](const std::string& t) { return "\xFE\xFF" + converted(t, "UTF-16BE"); }},
    {"Gb18030", [](const std::string& t) { return converted(t, "GB18030"); }},
};

class TextLogSeams : public ::testing::TestWithParam<SeamCase> {};

// 60,000 records: several pieces in every encoding.
TEST_P(TextLogSeams, GiveTheRecordsOfTheWholeFile) {
  const ReadingLog log = numbered_log(60000);
  const TempFolder folder;
  const fs::path file = folder / "log.txt";
  std::ofstream(file, std::ios::binary) << GetParam().bytes(TextLogBytes(log));
  LoadError why;
  const auto records = LoadTextLog(file, ".", {}, &why);
  ASSERT_TRUE(records.has_value()) << why.reason;
  EXPECT_EQ(*records, records_of(log));
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextLogSeams, ::testing::ValuesIn(kSeams),
                         [](const auto& info) { return std::string(info.param.name); });

// The first line that is not UTF-8 comes pieces into the file: the reader
// starts again in the legacy code page, and the records read before are not kept twice.
TEST(TextLogStream, LegacyCodePageFoundLateReadsTheFileAgain) {
  const std::string text = TextLogBytes(numbered_log(60000));
  const std::size_t late = text.find("\r\n", 3 * kPiece);
  const std::string ascii_head = replaced(text.substr(0, late), "\u03A9", "O");
  const auto expected = ParseTextLog(ascii_head + text.substr(late), ".");
  ASSERT_TRUE(expected.has_value());
  const auto records = ParseTextLog(ascii_head + converted(text.substr(late), "GB18030"), ".");
  ASSERT_TRUE(records.has_value());
  EXPECT_EQ(*records, *expected);
}

// Characters past the 100th after the index are not read, however many.
TEST(TextLogStream, EndlessRecordLineIsPassedOver) {
  const std::string text = "2\r\n1\t09:05:03\t1.5\tDCV AUTO 5.0000 V\t\t\t" +
                           std::string(3 * kPiece + 7, 'x') +
                           "\r\n2\t09:05:04\t2.5\tDCV AUTO 5.0000 V\t\t\t\r\n";
  const auto records = ParseTextLog(text, ".");
  ASSERT_TRUE(records.has_value());
  ASSERT_EQ(records->size(), 2u);
  EXPECT_EQ((*records)[1].Main_No.view(), "2.5");
}

struct ReasonCase {
  const char* name;
  std::string bytes;
  std::string reason;
};

TEST(TextLogStream, SaysWhichLineIsWrong) {
  const std::string good = "1\t09:05:03\t1.5\tDCV AUTO 5.0000 V\t\t\t\r\n";
  const ReasonCase cases[] = {
      {"Empty", "", "line 1 is not a record count"},
      {"BadCount", "x\r\n" + good, "line 1 is not a record count"},
      {"Short", "3\r\n" + good + good, "the file ends after 2 of the 3 records"},
      {"BadRecord", "3\r\n" + good + "2\tx\tabc\t\r\n" + good, "line 3 is not a valid record"},
  };
  for (const ReasonCase& c : cases) {
    LoadError why;
    EXPECT_FALSE(ParseTextLog(c.bytes, ".", {}, &why)) << c.name;
    EXPECT_EQ(why.failure, LoadFailure::WrongFormat) << c.name;
    EXPECT_EQ(why.reason.substr(0, c.reason.size()), c.reason) << c.name;
  }
}

class OddInputs : public ::testing::TestWithParam<odd_input::Case> {};

// Each is refused before it is read: a FIFO without a writer would block, a
// device never ends, and the sparse file ends its text at its first NUL byte.
TEST_P(OddInputs, AreRefusedWithTheirReason) {
  const TempFolder folder;
  const fs::path input = odd_input::make(GetParam().kind, folder / "");
  LoadError why;
  EXPECT_EQ(LoadTextLog(input, ".", {}, &why), std::nullopt);
  EXPECT_EQ(why.failure, GetParam().failure);
  EXPECT_FALSE(why.reason.empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, OddInputs, ::testing::ValuesIn(odd_input::kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextLogStream, UnreadableFileSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const TempFolder folder;
  const fs::path file = folder / "locked.txt";
  std::ofstream(file) << "1\r\n1\t09:05:03\t1.5\tDCV AUTO 5.0000 V\t\t\t\r\n";
  fs::permissions(file, fs::perms::none);
  LoadError why;
  EXPECT_EQ(LoadTextLog(file, ".", {}, &why), std::nullopt);
  EXPECT_EQ(why.failure, LoadFailure::NoPermission);
}

}  // namespace
}  // namespace tarvo
