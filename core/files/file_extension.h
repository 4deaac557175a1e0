#pragma once

#include <filesystem>
#include <string>

namespace tarvo {

// The extension that picks a file's type: the text from the last "." of the
// file name on, dot included, letters A to Z lowered; empty without a dot.
// ".txt" alone counts, and a dot in a folder name does not.
std::string lower_extension(const std::filesystem::path& file);

}  // namespace tarvo
