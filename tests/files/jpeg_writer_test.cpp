#include "files/jpeg_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

using sheet_test::read_bytes;
using sheet_test::TempFolder;

// A white picture with a red, a green and a blue square in its top row of
// blocks, the rest of the row padded to show that stride is honoured.
struct TestPicture {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  std::vector<std::uint8_t> bytes;

  TestPicture(int w, int h) : width(w), height(h), stride(static_cast<std::size_t>(w) * 3 + 5) {
    bytes.assign(stride * static_cast<std::size_t>(h), 0xEE);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) set(x, y, colour_at(x, y));
    }
  }
  static std::array<std::uint8_t, 3> colour_at(int x, int y) {
    if (y >= 16 || x >= 48) return {255, 255, 255};
    if (x < 16) return {255, 0, 0};
    if (x < 32) return {0, 255, 0};
    return {0, 0, 255};
  }
  void set(int x, int y, std::array<std::uint8_t, 3> rgb) {
    std::uint8_t* p = bytes.data() + static_cast<std::size_t>(y) * stride + x * 3;
    p[0] = rgb[0];
    p[1] = rgb[1];
    p[2] = rgb[2];
  }
  RgbPixels pixels() const { return {bytes.data(), width, height, stride}; }
};

// A segment of the file: its marker byte and its body after the length.
struct Segment {
  std::uint8_t marker = 0;
  std::string body;
};

std::uint8_t byte_at(const std::string& s, std::size_t i) {
  return static_cast<std::uint8_t>(s[i]);
}

// The segments from SOI up to the start of the scan.
std::vector<Segment> header_segments(const std::string& jpeg) {
  std::vector<Segment> segments;
  std::size_t pos = 2;
  while (pos + 4 <= jpeg.size() && byte_at(jpeg, pos) == 0xFF) {
    const std::uint8_t marker = byte_at(jpeg, pos + 1);
    const std::size_t length = byte_at(jpeg, pos + 2) * 256u + byte_at(jpeg, pos + 3);
    segments.push_back({marker, jpeg.substr(pos + 4, length - 2)});
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return segments;
}

std::optional<Segment> find_segment(const std::string& jpeg, std::uint8_t marker) {
  for (const Segment& s : header_segments(jpeg)) {
    if (s.marker == marker) return s;
  }
  return std::nullopt;
}

// What libjpeg's own decoder reads back.
struct Decoded {
  int width = 0;
  int height = 0;
  int components = 0;
  std::vector<std::uint8_t> rgb;

  std::array<int, 3> at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

struct DecodeTrap {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

void leave(j_common_ptr info) {
  std::longjmp(reinterpret_cast<DecodeTrap*>(info->err)->back, 1);
}

bool decode_into(const std::string& jpeg, Decoded& out) {
  jpeg_decompress_struct info{};
  DecodeTrap trap{};
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = &leave;
  if (setjmp(trap.back) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.components = info.num_components;
  out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

std::string encoded(const TestPicture& picture) {
  std::string error;
  const std::optional<std::string> bytes = encode_jpeg(picture.pixels(), &error);
  EXPECT_TRUE(bytes) << error;
  return bytes.value_or(std::string());
}

TEST(JpegWriter, StartsWithSoiAndEndsWithEoi) {
  const std::string jpeg = encoded(TestPicture(64, 40));
  ASSERT_GE(jpeg.size(), 4u);
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
}

// SOF0 body: precision, height, width, component count, then per component
// its id, its sampling factors (high nibble horizontal) and its table.
TEST(JpegWriter, BaselineFrameSamplesEveryComponentAtFullResolution) {
  const std::string jpeg = encoded(TestPicture(1910, 1080));
  const std::optional<Segment> sof = find_segment(jpeg, 0xC0);
  ASSERT_TRUE(sof);
  ASSERT_EQ(sof->body.size(), 6u + 3 * 3);
  EXPECT_EQ(byte_at(sof->body, 0), 8);
  EXPECT_EQ(byte_at(sof->body, 1) * 256 + byte_at(sof->body, 2), 1080);
  EXPECT_EQ(byte_at(sof->body, 3) * 256 + byte_at(sof->body, 4), 1910);
  EXPECT_EQ(byte_at(sof->body, 5), 3);
  for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(byte_at(sof->body, 6 + c * 3 + 1), 0x11) << c;
}

// Quality 100 scales every entry of both quantisation tables to 1.
TEST(JpegWriter, QualityHundredQuantisesWithOnes) {
  const std::string jpeg = encoded(TestPicture(64, 40));
  int tables = 0;
  for (const Segment& s : header_segments(jpeg)) {
    if (s.marker != 0xDB) continue;
    for (std::size_t pos = 0; pos + 65 <= s.body.size(); pos += 65, ++tables) {
      ASSERT_EQ(byte_at(s.body, pos) >> 4, 0) << "8-bit entries";
      for (std::size_t i = 1; i <= 64; ++i) EXPECT_EQ(byte_at(s.body, pos + i), 1);
    }
  }
  EXPECT_EQ(tables, 2);
}

TEST(JpegWriter, DecodesToTheSameSizeAndColours) {
  const TestPicture picture(203, 77);
  Decoded back;
  ASSERT_TRUE(decode_into(encoded(picture), back));
  EXPECT_EQ(back.width, 203);
  EXPECT_EQ(back.height, 77);
  EXPECT_EQ(back.components, 3);
  // Well inside each square and in the white, away from the block edges.
  for (const auto& [x, y] : {std::pair{4, 4}, {20, 8}, {40, 11}, {150, 60}}) {
    const auto want = TestPicture::colour_at(x, y);
    const auto got = back.at(x, y);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 3) << x << "," << y << " c" << c;
  }
}

TEST(JpegWriter, WritesTheFileAndReplacesAnEarlierOne) {
  const TempFolder folder;
  const auto file = folder / "chart.jpg";
  std::ofstream(file) << "old";
  const TestPicture picture(32, 32);
  std::string error;
  ASSERT_TRUE(write_jpeg(picture.pixels(), file, &error)) << error;
  EXPECT_EQ(read_bytes(file), encoded(picture));
  EXPECT_EQ(folder.entries(), 1u);
}

TEST(JpegWriter, UnwritableFolderFailsWithAReasonAndLeavesNothing) {
  const TempFolder folder;
  std::ofstream(folder / "plain") << "a file, not a folder";
  const TestPicture picture(8, 8);
  std::string error;
  EXPECT_FALSE(write_jpeg(picture.pixels(), folder / "plain" / "chart.jpg", &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  EXPECT_EQ(folder.entries(), 1u);
}

TEST(JpegWriter, EmptyPictureIsRefused) {
  std::string error;
  EXPECT_FALSE(encode_jpeg({}, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tarvo
