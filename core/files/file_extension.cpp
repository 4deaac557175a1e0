#include "files/file_extension.h"

namespace tarvo {

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

}  // namespace tarvo
