#include "files/xlsx_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace tarvo {

QuietStandardError::QuietStandardError() : saved_(::dup(STDERR_FILENO)) {
  std::fflush(stderr);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
  if (null >= 0) ::close(null);
}

QuietStandardError::~QuietStandardError() {
  std::fflush(stderr);
  if (saved_ < 0) return;
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
}

std::string xlsx_failure_reason(lxw_error result, int system_error) {
  switch (result) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      if (system_error != 0) return std::strerror(system_error);
      break;
    default:
      break;
  }
  return lxw_strerror(result);
}

}  // namespace tarvo
