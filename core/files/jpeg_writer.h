#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

// Rows of 8-bit R, G, B triples, top row first; stride is the distance in
// bytes from one row to the next (at least 3 x width).
struct RgbPixels {
  const std::uint8_t* data = nullptr;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
};

// The JPEG file of the picture at quality 100 with full-resolution colour;
// nullopt when the encoder fails (error then says why).
std::optional<std::string> encode_jpeg(const RgbPixels& pixels, std::string* error = nullptr);

// Encodes and writes the picture. The file is replaced only once the new one
// is complete. On failure returns false and, when error is given, says why.
bool write_jpeg(const RgbPixels& pixels, const std::filesystem::path& file,
                std::string* error = nullptr);

}  // namespace tarvo
