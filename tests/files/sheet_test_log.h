#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "log/reading_log.h"

// Records, logs and files shared by the file tests.
namespace tarvo::sheet_test {

inline real_Record record(std::int64_t index, std::string_view time, std::string_view main_no,
                          std::string_view main_range, std::string_view sub_no = "",
                          std::string_view sub_range = "") {
  real_Record r;
  r.Index = index;
  r.Time.assign(time);
  r.Main_No.assign(main_no);
  r.Main_Range.assign(main_range);
  r.Sub_No.assign(sub_no);
  r.Sub_range.assign(sub_range);
  return r;
}

// Record n of a long log: every field derived from n, so any cell can be
// checked; every third record has its sub display off.
inline real_Record numbered_record(std::int64_t n) {
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", static_cast<int>(n / 3600 % 24),
                static_cast<int>(n / 60 % 60), static_cast<int>(n % 60));
  const bool sub_on = n % 3 != 0;
  return record(n, time, std::to_string(n % 50000) + ".5",
                n % 2 ? "OHM AUTO 50.000 K\u03A9" : "DCV AUTO 5.0000 V", sub_on ? "60.00" : "",
                sub_on ? "FRE 99.99 Hz" : "");
}

inline ReadingLog log_of(std::vector<real_Record> records) {
  ReadingLog log;
  log.replace(std::move(records));
  return log;
}

inline ReadingLog numbered_log(std::int64_t count) {
  std::vector<real_Record> records;
  records.reserve(static_cast<std::size_t>(count));
  for (std::int64_t n = 1; n <= count; ++n) records.push_back(numbered_record(n));
  return log_of(std::move(records));
}

inline std::string read_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("tarvo-sheet-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  static int& counter() {
    static int next = 0;
    return next;
  }
  std::filesystem::path path_;
};

}  // namespace tarvo::sheet_test
