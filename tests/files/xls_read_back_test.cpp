#include <freexl.h>
#include <gtest/gtest.h>

#include <string>

#include "files/sheet_pages.h"
#include "files/spreadsheet_export.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace sheet_test;

// The workbook as an independent reader sees it.
class XlsBook {
 public:
  explicit XlsBook(const std::filesystem::path& file) {
    opened_ = freexl_open(file.c_str(), &handle_) == FREEXL_OK;
  }
  ~XlsBook() { freexl_close(handle_); }
  XlsBook(const XlsBook&) = delete;
  XlsBook& operator=(const XlsBook&) = delete;

  bool opened() const { return opened_; }

  unsigned info(unsigned short what) const {
    unsigned value = 0;
    freexl_get_info(handle_, what, &value);
    return value;
  }

  std::string sheet_name(unsigned short sheet) const {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle_, sheet, &name) != FREEXL_OK || name == nullptr)
      return "?";
    return name;
  }

  // Selects the sheet; returns its rows and columns.
  std::pair<unsigned, unsigned> select(unsigned short sheet) const {
    unsigned rows = 0;
    unsigned short columns = 0;
    freexl_select_active_worksheet(handle_, sheet);
    freexl_worksheet_dimensions(handle_, &rows, &columns);
    return {rows, columns};
  }

  // The cell as text: numbers as "#" and their value, "" where there is no
  // cell, as an emptied cell is stored.
  std::string cell(unsigned row, unsigned short column) const {
    FreeXL_CellValue value{};
    if (freexl_get_cell_value(handle_, row, column, &value) != FREEXL_OK) return "<error>";
    switch (value.type) {
      case FREEXL_CELL_NULL:
        return "";
      case FREEXL_CELL_DOUBLE:
        return "#" + std::to_string(static_cast<std::int64_t>(value.value.double_value));
      case FREEXL_CELL_INT:
        return "#" + std::to_string(value.value.int_value);
      case FREEXL_CELL_SST_TEXT:
        return *value.value.text_value ? value.value.text_value : "<empty text>";
      default:
        return "<type " + std::to_string(value.type) + ">";
    }
  }

  void expect_titles() const {
    const char* titles[] = {"Index", "Time", "Main", "Main_Range", "Sub", "Sub_Range"};
    for (unsigned short c = 0; c < 6; ++c) EXPECT_EQ(cell(0, c), titles[c]);
  }

  void expect_record(unsigned row, const real_Record& r) const {
    EXPECT_EQ(cell(row, 0), "#" + std::to_string(r.Index)) << "row " << row;
    EXPECT_EQ(cell(row, 1), r.Time.view()) << "row " << row;
    EXPECT_EQ(cell(row, 2), r.Main_No.view()) << "row " << row;
    EXPECT_EQ(cell(row, 3), r.Main_Range.view()) << "row " << row;
    EXPECT_EQ(cell(row, 4), r.Sub_No.view()) << "row " << row;
    EXPECT_EQ(cell(row, 5), r.Sub_range.view()) << "row " << row;
  }

 private:
  const void* handle_ = nullptr;
  bool opened_ = false;
};

std::filesystem::path export_xls(const ReadingLog& log, const TempFolder& folder) {
  const std::filesystem::path file = folder / "log.xls";
  std::string error;
  EXPECT_TRUE(ExportSpreadsheet(log, file, SpreadsheetFormat::Xls, {}, &error)) << error;
  return file;
}

TEST(XlsReadBack, ThreeRecords) {
  const TempFolder folder;
  const ReadingLog log = log_of({
      record(1, "09:05:03", "-12.345", "OHM AUTO 50.000 K\u03A9", "60.00", "FRE 99.99 Hz"),
      record(2, "09:05:04", "OL", "DCV MANU 5.0000 V", "", ""),
      record(-7, "23:59:59", "1,5", "ACV \"AUTO\", 5.0000 V", "x\ny", "T\u2103"),
  });
  const XlsBook book(export_xls(log, folder));
  ASSERT_TRUE(book.opened());
  EXPECT_EQ(book.info(FREEXL_BIFF_VERSION), 8u);
  EXPECT_EQ(book.info(FREEXL_BIFF_CODEPAGE), unsigned{FREEXL_BIFF_UTF16LE});
  EXPECT_EQ(book.info(FREEXL_BIFF_SHEET_COUNT), 1u);
  EXPECT_EQ(book.sheet_name(0), "page 1");
  EXPECT_EQ(book.select(0), std::make_pair(4u, 6u));
  book.expect_titles();
  for (unsigned row = 1; row <= 3; ++row) book.expect_record(row, log[row]);
}

TEST(XlsReadBack, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  const TempFolder folder;
  const ReadingLog log = log_of({record(1, "09:05:03", "1.0", "DCV \xB5V", "", "")});
  const XlsBook book(export_xls(log, folder));
  ASSERT_TRUE(book.opened());
  book.select(0);
  EXPECT_EQ(book.cell(1, 3), "DCV \uFFFDV");
}

struct PagesCase {
  std::int64_t records;
  std::vector<std::pair<unsigned, unsigned>> sheets;  // rows and columns
};

void PrintTo(const PagesCase& c, std::ostream* os) {
  *os << c.records << " records";
}

class XlsPages : public ::testing::TestWithParam<PagesCase> {};

TEST_P(XlsPages, HoldAtMost65500RecordsBelowTheTitles) {
  const TempFolder folder;
  const ReadingLog log = numbered_log(GetParam().records);
  const XlsBook book(export_xls(log, folder));
  ASSERT_TRUE(book.opened());
  const auto& sheets = GetParam().sheets;
  ASSERT_EQ(book.info(FREEXL_BIFF_SHEET_COUNT), sheets.size());
  for (unsigned short s = 0; s < sheets.size(); ++s) {
    EXPECT_EQ(book.sheet_name(s), "page " + std::to_string(s + 1));
    ASSERT_EQ(book.select(s), sheets[s]);
    book.expect_titles();
    const std::int64_t first = std::int64_t{s} * 65500 + 1;
    const unsigned last_row = sheets[s].first - 1;
    book.expect_record(1, log[first]);
    book.expect_record(last_row, log[first + last_row - 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsPages,
                         ::testing::Values(PagesCase{1, {{2, 6}}}, PagesCase{65500, {{65501, 6}}},
                                           PagesCase{65501, {{65501, 6}, {2, 6}}}));

// 200000 records make a file of about 17 MB, past the 7 MB that the header's
// 109 FAT sector numbers can describe.
TEST(XlsReadBack, LargeWorkbookNeedsTheDifat) {
  const TempFolder folder;
  const ReadingLog log = numbered_log(200000);
  const std::filesystem::path file = export_xls(log, folder);
  EXPECT_GT(std::filesystem::file_size(file), 109u * 128 * 512);
  const XlsBook book(file);
  ASSERT_TRUE(book.opened());
  EXPECT_GT(book.info(FREEXL_CFBF_FAT_COUNT), 109u);
  ASSERT_EQ(book.info(FREEXL_BIFF_SHEET_COUNT), 4u);
  EXPECT_EQ(book.sheet_name(3), "page 4");
  ASSERT_EQ(book.select(3), std::make_pair(3501u, 6u));
  book.expect_record(3500, log[200000]);
}

TEST(XlsReadBack, EmptyLogGivesTheTitlesOnly) {
  const TempFolder folder;
  const XlsBook book(export_xls(ReadingLog{}, folder));
  ASSERT_TRUE(book.opened());
  ASSERT_EQ(book.info(FREEXL_BIFF_SHEET_COUNT), 1u);
  EXPECT_EQ(book.select(0), std::make_pair(1u, 6u));
  book.expect_titles();
}

}  // namespace
}  // namespace tarvo
