// A baseline JFIF file from libjpeg:
//
//   FF D8              SOI
//   FF E0 ... "JFIF"   APP0
//   FF DB ...          DQT, the luminance and chrominance tables, all ones at quality 100
//   FF C0 ...          SOF0: precision 8, height, width, 3 components, each sampled 1x1
//   FF C4 ...          DHT, the standard Huffman tables
//   FF DA ...          SOS, then the entropy-coded data
//   FF D9              EOI
//
// Chroma is not subsampled (4:4:4): the chart is thin coloured lines on white,
// which 4:2:0 would smear into a pink haze.

#include "files/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "files/atomic_file.h"

namespace tarvo {

namespace {

constexpr int kQuality = 100;

// libjpeg ends the program on an error unless the handler leaves by longjmp;
// everything between setjmp and the encoder's calls is plain data, so the
// jump skips no destructor.
struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void leave_on_error(j_common_ptr info) {
  auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
  (*info->err->format_message)(info, trap->message);
  std::longjmp(trap->back, 1);
}

void set_full_chroma(jpeg_compress_struct& info) {
  for (int c = 0; c < info.num_components; ++c) {
    info.comp_info[c].h_samp_factor = 1;
    info.comp_info[c].v_samp_factor = 1;
  }
}

struct FreeBuffer {
  void operator()(unsigned char* bytes) const { std::free(bytes); }
};

// Fills out (allocated by libjpeg) or returns false with trap.message set.
bool compress(const RgbPixels& pixels, ErrorTrap& trap, unsigned char*& out, unsigned long& size) {
  jpeg_compress_struct info{};
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = &leave_on_error;
  if (setjmp(trap.back) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(pixels.width);
  info.image_height = static_cast<JDIMENSION>(pixels.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kQuality, TRUE);
  set_full_chroma(info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    // libjpeg takes rows as non-const pointers but only reads them.
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data + info.next_scanline * pixels.stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

bool fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return false;
}

}  // namespace

std::optional<std::string> encode_jpeg(const RgbPixels& pixels, std::string* error) {
  if (pixels.data == nullptr || pixels.width <= 0 || pixels.height <= 0 ||
      pixels.stride < static_cast<std::size_t>(pixels.width) * 3) {
    fail(error, "the picture is empty");
    return std::nullopt;
  }
  ErrorTrap trap{};
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  const bool encoded = compress(pixels, trap, bytes, size);
  const std::unique_ptr<unsigned char, FreeBuffer> owned(bytes);
  if (!encoded) {
    fail(error, std::string("JPEG encoding failed: ") + trap.message);
    return std::nullopt;
  }
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

bool write_jpeg(const RgbPixels& pixels, const std::filesystem::path& file, std::string* error) {
  const std::optional<std::string> bytes = encode_jpeg(pixels, error);
  if (!bytes) return false;
  AtomicFile out(file);
  return (out.write(*bytes) && out.commit()) || fail(error, out.error());
}

}  // namespace tarvo
