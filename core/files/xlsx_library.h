#pragma once

// What every writer of .xlsx files through libxlsxwriter needs around the
// library: its lines on standard error silenced, and its failures in words.

#include <xlsxwriter.h>

#include <string>

namespace tarvo {

// libxlsxwriter reports its failures on standard error, naming its own source
// files and the temporary path. The caller says why in its own words, so the
// library's lines are dropped while it works. (This holds standard error of
// the whole process for that time: a window's other threads write nothing
// that matters there.)
class QuietStandardError {
 public:
  QuietStandardError();
  ~QuietStandardError();
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_;
};

// For the library's failures to create, read or write a file, the system's
// reason that the library leaves in errno says more than its own text.
std::string xlsx_failure_reason(lxw_error result, int system_error);

}  // namespace tarvo
