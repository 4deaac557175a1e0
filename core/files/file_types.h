#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// The types of file the log is written as, each chosen by the extension of
// the file's name: Save As, tarvo-cli convert and tarvo-cli chart all read
// the one table below, so a type is added by adding its row.
enum class FileFormat { Text, Xls, Xlsx, Csv, Jpeg, Bmp, Png };
enum class SpreadsheetFormat { Xls, Xlsx, Csv };
enum class PictureFormat { Bmp, Jpeg, Png };

// What writes a type: the text log's writer, the spreadsheet export, or the
// chart's picture, the one kind that holds no readings.
enum class FileWriter { TextLog, Spreadsheet, Picture };

struct FileType {
  FileFormat format;
  std::string_view extension;  // lower case with its dot, ".txt"
  std::string_view label;      // as the save dialog lists it, "TXT File"
  FileWriter writer;
  SpreadsheetFormat sheet;  // what the export writes, with FileWriter::Spreadsheet
  PictureFormat picture;    // what the chart is saved as, with FileWriter::Picture
};

// Every type in the save dialog's order; the first is its default.
std::span<const FileType> file_types();

// The extension that picks a file's type: the text from the last "." of the
// file name on, dot included, letters A to Z lowered; empty without a dot.
// ".txt" alone counts, and a dot in a folder name does not.
std::string lower_extension(const std::filesystem::path& file);

// The type a name asks for by its extension, in any letter case; nullptr, or
// nullopt, for any other name.
const FileType* file_type_of(const std::filesystem::path& file);
std::optional<FileFormat> file_format_of(const std::filesystem::path& file);
std::optional<SpreadsheetFormat> spreadsheet_format_of(const std::filesystem::path& file);
std::optional<PictureFormat> picture_format_of(const std::filesystem::path& file);

// The extensions the writers accept, for a message: ".jpg, .bmp or .png".
std::string extensions_written_by(std::initializer_list<FileWriter> writers);

}  // namespace tarvo
