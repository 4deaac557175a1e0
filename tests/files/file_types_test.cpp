#include "files/file_types.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarvo {
namespace {

struct TypeCase {
  const char* file;
  std::optional<FileFormat> format;
  std::optional<SpreadsheetFormat> sheet;
  std::optional<PictureFormat> picture;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << c.file;
}

using F = FileFormat;
using S = SpreadsheetFormat;
using P = PictureFormat;

// Every extension Save As, convert and chart accepted, in any case, and the
// names none of them took.
const TypeCase kTypes[] = {
    {"log.txt", F::Text, {}, {}},
    {"/a/LOG.TXT", F::Text, {}, {}},
    {".txt", F::Text, {}, {}},
    {"log.xls", F::Xls, S::Xls, {}},
    {"log.Xlsx", F::Xlsx, S::Xlsx, {}},
    {"log.CSV", F::Csv, S::Csv, {}},
    {"chart.jpg", F::Jpeg, {}, P::Jpeg},
    {"chart.BMP", F::Bmp, {}, P::Bmp},
    {"a.tar.pNg", F::Png, {}, P::Png},
    {"log", {}, {}, {}},
    {"log.", {}, {}, {}},
    {"chart.jpeg", {}, {}, {}},
    {"log.xlsm", {}, {}, {}},
    {"log.xls.tmp", {}, {}, {}},
    {"a.xls/log", {}, {}, {}},
    {"log.txt ", {}, {}, {}},
};

class FileTypeOf : public ::testing::TestWithParam<TypeCase> {};

TEST_P(FileTypeOf, TheExtensionPicksTheTypeAndItsWriter) {
  const TypeCase& c = GetParam();
  EXPECT_EQ(file_format_of(c.file), c.format);
  EXPECT_EQ(spreadsheet_format_of(c.file), c.sheet);
  EXPECT_EQ(picture_format_of(c.file), c.picture);
  const FileType* type = file_type_of(c.file);
  ASSERT_EQ(type != nullptr, c.format.has_value());
  if (type == nullptr) return;
  const FileWriter writer = c.sheet     ? FileWriter::Spreadsheet
                            : c.picture ? FileWriter::Picture
                                        : FileWriter::TextLog;
  EXPECT_EQ(type->writer, writer);
}

INSTANTIATE_TEST_SUITE_P(Names, FileTypeOf, ::testing::ValuesIn(kTypes));

struct ListCase {
  std::initializer_list<FileWriter> writers;
  const char* extensions;
};

TEST(FileTypes, TheMessagesListTheWritersExtensionsInTheDialogsOrder) {
  const ListCase cases[] = {
      {{FileWriter::TextLog, FileWriter::Spreadsheet}, ".txt, .xls, .xlsx or .csv"},
      {{FileWriter::Picture}, ".jpg, .bmp or .png"},
      {{FileWriter::TextLog}, ".txt"},
  };
  for (const ListCase& c : cases) EXPECT_EQ(extensions_written_by(c.writers), c.extensions);
}

TEST(FileTypes, TheDialogListsEveryTypeOnceTextFirst) {
  const char* const labels[] = {"TXT File",        "Excel File",     "Excel Workbook", "CSV File",
                                "JPEG Image File", "BMP Image File", "PNG Image File"};
  ASSERT_EQ(file_types().size(), std::size(labels));
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    const FileType& type = file_types()[i];
    EXPECT_EQ(type.label, labels[i]);
    EXPECT_EQ(file_type_of("x" + std::string(type.extension)), &type);
  }
}

}  // namespace
}  // namespace tarvo
