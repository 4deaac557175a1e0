#include "files/file_types.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tarvo {

namespace {

using F = FileFormat;
using W = FileWriter;
using S = SpreadsheetFormat;
using P = PictureFormat;

// The sheet and picture formats count only with their own writer.
// clang-format off
constexpr std::array kFileTypes = {
    //       format   extension label              writer          sheet    picture
    FileType{F::Text, ".txt",  "TXT File",        W::TextLog,     S::Xls,  P::Bmp},
    FileType{F::Xls,  ".xls",  "Excel File",      W::Spreadsheet, S::Xls,  P::Bmp},
    FileType{F::Xlsx, ".xlsx", "Excel Workbook",  W::Spreadsheet, S::Xlsx, P::Bmp},
    FileType{F::Csv,  ".csv",  "CSV File",        W::Spreadsheet, S::Csv,  P::Bmp},
    FileType{F::Jpeg, ".jpg",  "JPEG Image File", W::Picture,     S::Xls,  P::Jpeg},
    FileType{F::Bmp,  ".bmp",  "BMP Image File",  W::Picture,     S::Xls,  P::Bmp},
    FileType{F::Png,  ".png",  "PNG Image File",  W::Picture,     S::Xls,  P::Png},
};
// clang-format on

}  // namespace

std::span<const FileType> file_types() {
  return kFileTypes;
}

std::string lower_extension(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  std::string extension = name.substr(dot);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

const FileType* file_type_of(const std::filesystem::path& file) {
  const std::string extension = lower_extension(file);
  for (const FileType& type : kFileTypes) {
    if (type.extension == extension) return &type;
  }
  return nullptr;
}

std::optional<FileFormat> file_format_of(const std::filesystem::path& file) {
  const FileType* type = file_type_of(file);
  if (type == nullptr) return std::nullopt;
  return type->format;
}

std::optional<SpreadsheetFormat> spreadsheet_format_of(const std::filesystem::path& file) {
  const FileType* type = file_type_of(file);
  if (type == nullptr || type->writer != FileWriter::Spreadsheet) return std::nullopt;
  return type->sheet;
}

std::optional<PictureFormat> picture_format_of(const std::filesystem::path& file) {
  const FileType* type = file_type_of(file);
  if (type == nullptr || type->writer != FileWriter::Picture) return std::nullopt;
  return type->picture;
}

std::string extensions_written_by(std::initializer_list<FileWriter> writers) {
  std::vector<std::string_view> extensions;
  for (const FileType& type : kFileTypes) {
    if (std::ranges::find(writers, type.writer) != writers.end()) {
      extensions.push_back(type.extension);
    }
  }
  std::string list;
  for (std::size_t i = 0; i < extensions.size(); ++i) {
    if (i > 0) list += i + 1 == extensions.size() ? " or " : ", ";
    list += extensions[i];
  }
  return list;
}

}  // namespace tarvo
