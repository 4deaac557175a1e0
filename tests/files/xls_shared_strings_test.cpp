#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/biff_records.h"
#include "files/shared_strings.h"
#include "files/utf_text.h"

namespace tarvo {
namespace {

struct Record {
  std::uint16_t type;
  std::size_t position;  // of its header in the buffer
  Bytes body;
};

std::vector<Record> split_records(const Bytes& bytes) {
  std::vector<Record> records;
  for (std::size_t at = 0; at + 4 <= bytes.size();) {
    const std::size_t length = bytes[at + 2] | bytes[at + 3] << 8;
    records.push_back({static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8), at,
                       Bytes(bytes.begin() + at + 4, bytes.begin() + at + 4 + length)});
    at += 4 + length;
  }
  return records;
}

// Reads the SST back as a reader must: a string's header and first character
// lie in one record, and a string going on in a CONTINUE record starts there
// with a fresh flags byte.
struct ParsedSst {
  std::uint32_t references = 0;
  std::uint32_t unique = 0;
  std::vector<std::u16string> strings;
  std::vector<std::size_t> starts;  // buffer position of each string's header
};

ParsedSst parse_sst(const std::vector<Record>& records) {
  ParsedSst sst;
  std::size_t r = 0;
  std::size_t at = 8;
  auto u8 = [&] { return records[r].body.at(at++); };
  const Bytes& counts = records[0].body;
  sst.references = counts[0] | counts[1] << 8 | counts[2] << 16 | counts[3] << 24;
  sst.unique = counts[4] | counts[5] << 8 | counts[6] << 16 | counts[7] << 24;
  while (sst.strings.size() < sst.unique) {
    if (at == records[r].body.size()) ++r, at = 0;
    EXPECT_LE(at + 3, records[r].body.size()) << "header split";
    sst.starts.push_back(records[r].position + 4 + at);
    std::size_t length = u8();
    length |= std::size_t{u8()} << 8;
    bool wide = u8() & 1;
    std::u16string text;
    while (text.size() < length) {
      if (at == records[r].body.size()) {
        EXPECT_FALSE(text.empty()) << "first character apart from its header";
        ++r, at = 0;
        EXPECT_EQ(records[r].type, biff::kContinue);
        wide = u8() & 1;
      }
      char16_t c = u8();
      if (wide) c |= static_cast<char16_t>(u8() << 8);
      text.push_back(c);
    }
    sst.strings.push_back(text);
  }
  return sst;
}

struct SstCase {
  const char* name;
  std::vector<std::string> texts;
};

void PrintTo(const SstCase& c, std::ostream* os) {
  *os << c.name;
}

// count distinct texts of chars characters each: a counter written in base
// 26 with Latin letters (one byte each) or Cyrillic ones (two bytes each).
std::vector<std::string> fixed_width(std::size_t count, std::size_t chars, bool wide) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text;
    for (std::size_t k = 0, v = i; k < chars; ++k, v /= 26) {
      if (wide) {
        const unsigned code = 0x0410 + v % 26;
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
      } else {
        text += static_cast<char>('a' + v % 26);
      }
    }
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::string> alternating(std::size_t count) {
  std::vector<std::string> narrow = fixed_width(count, 7, false);
  const std::vector<std::string> wide = fixed_width(count, 5, true);
  for (std::size_t i = 1; i < count; i += 2) narrow[i] = wide[i];
  return narrow;
}

class XlsSharedStrings : public ::testing::TestWithParam<SstCase> {};

// Each case puts record boundaries at a different place in a string.
TEST_P(XlsSharedStrings, ReadBackWithTheirNumbersAndIndex) {
  const std::vector<std::string>& texts = GetParam().texts;
  SharedStrings table;
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(table.add(texts[i]), i);
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(table.at(texts[i]), i);
  Bytes out(100, 0);  // the stream before the table
  table.append_records(out, 5000, 123456);
  const Bytes table_bytes(out.begin() + 100, out.end());
  const std::vector<Record> records = split_records(table_bytes);
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records.front().type, biff::kSst);
  for (const Record& r : records) EXPECT_LE(r.body.size(), biff::kMaxRecordBody);

  const ParsedSst sst = parse_sst({records.begin(), records.end() - 1});
  EXPECT_EQ(sst.references, 123456u);
  ASSERT_EQ(sst.strings.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(sst.strings[i], utf16_from_utf8(texts[i]));

  // EXTSST: a set of strings per entry, each entry the stream position of its
  // first string and the offset of that string in its record.
  const Record& ext = records.back();
  ASSERT_EQ(ext.type, biff::kExtSst);
  const std::size_t per_set = ext.body[0] | ext.body[1] << 8;
  EXPECT_EQ(per_set, std::max<std::size_t>(texts.size() / 128 + 1, 8));
  ASSERT_EQ(ext.body.size(), 2 + 8 * ((texts.size() + per_set - 1) / per_set));
  for (std::size_t set = 0; set * per_set < texts.size(); ++set) {
    const Bytes entry(ext.body.begin() + 2 + 8 * set, ext.body.begin() + 10 + 8 * set);
    const std::size_t start = sst.starts[set * per_set];
    const std::uint32_t position = entry[0] | entry[1] << 8 | entry[2] << 16 | entry[3] << 24;
    EXPECT_EQ(position, 5000 + start);
    std::size_t record_start = 0;
    for (const Record& r : records) {
      if (r.position <= start) record_start = r.position;
    }
    EXPECT_EQ(std::size_t(entry[4] | entry[5] << 8), start - record_start);
  }
}

// The first record has 8216 bytes for strings after the two counts; a text
// of n characters takes 3 + n bytes, or 3 + 2n with 2-byte characters.
INSTANTIATE_TEST_SUITE_P(
    Cases, XlsSharedStrings,
    ::testing::Values(SstCase{"Titles",
                              {"Index", "Time", "Main", "Main_Range", "Sub", "Sub_Range"}},
                      SstCase{"Empty", {""}},
                      // 216 * 38 bytes leave 8: a header and 5 characters, 30 go on.
                      SstCase{"NarrowSplitInText", fixed_width(300, 35, false)},
                      // 632 * 13 bytes fill the record: the next string opens the CONTINUE.
                      SstCase{"RecordEndsWithString", fixed_width(700, 10, false)},
                      // 1369 * 6 bytes leave 2, too few for a header.
                      SstCase{"HeaderMovesWhole", fixed_width(1500, 3, false)},
                      // 112 * 73 bytes leave 40: a header and 18 characters, one byte unused.
                      SstCase{"WideSplitInText", fixed_width(200, 35, true)},
                      // 912 * 9 bytes leave 8: a header and 2 characters, the last goes on.
                      SstCase{"WideLastCharacterGoesOn", fixed_width(1000, 3, true)},
                      // 191 * 43 bytes leave 3: a header but not its first 2-byte character.
                      SstCase{"WideHeaderMovesWhole", fixed_width(250, 20, true)},
                      SstCase{"AlternatingWidths", alternating(3000)},
                      SstCase{"ManySets", fixed_width(5000, 12, false)}),
    [](const ::testing::TestParamInfo<SstCase>& info) { return std::string(info.param.name); });

// A split string, byte for byte: 216 strings of 35 'x' fill the SST to 8216
// bytes, leaving 8 for the next one's header and 5 characters; the CONTINUE
// record then repeats the flags byte before the other 30.
TEST(XlsSharedStringsSplit, RepeatsTheFlagsByte) {
  std::vector<std::string> texts;
  for (int i = 0; i < 216; ++i) texts.push_back(std::to_string(1000 + i) + std::string(31, 'x'));
  const std::string split = "abcde" + std::string(30, 'z');
  texts.push_back(split);
  SharedStrings table;
  for (const std::string& t : texts) table.add(t);
  Bytes out;
  table.append_records(out, 0, 217);

  ASSERT_GE(out.size(), 8228u + 4 + 31);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{0xFC, 0x00, 0x20, 0x20}));
  EXPECT_EQ(Bytes(out.begin() + 8220, out.begin() + 8228),
            (Bytes{0x23, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e'}));
  EXPECT_EQ(Bytes(out.begin() + 8228, out.begin() + 8233), (Bytes{0x3C, 0x00, 0x1F, 0x00, 0x00}));
  EXPECT_EQ(Bytes(out.begin() + 8233, out.begin() + 8263), Bytes(30, 'z'));
}

}  // namespace
}  // namespace tarvo
