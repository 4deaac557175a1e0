#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Bytes read in pieces, from a file or from memory, so that a reader never
// holds more of its input than it needs.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to size bytes into to; 0 at the end, nullopt when the system fails
  // (error() then says why).
  virtual std::optional<std::size_t> read(char* to, std::size_t size) = 0;
  // Back to the first byte; false when that fails.
  virtual bool rewind() = 0;
  // The number of bytes, as far as known beforehand.
  virtual std::uint64_t size_hint() const = 0;
  const std::string& error() const { return error_; }

 protected:
  std::string error_;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::size_t> read(char* to, std::size_t size) override;
  bool rewind() override;
  std::uint64_t size_hint() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// Why a file could not be opened for reading.
enum class OpenFailure { None, Missing, NoPermission, NotRegularFile, TooLarge, Other };

// A regular file opened for reading. Anything else (a folder, a device, a
// pipe, a socket) is refused before it is opened, so a FIFO without a writer
// cannot block and a device cannot stream forever; so is a file larger than
// the reader's limit.
class FileSource final : public ByteSource {
 public:
  FileSource(const std::filesystem::path& file, std::uint64_t largest_bytes);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  OpenFailure failure() const { return failure_; }
  std::optional<std::size_t> read(char* to, std::size_t size) override;
  bool rewind() override;
  std::uint64_t size_hint() const override { return size_; }

 private:
  bool refuse(OpenFailure failure, std::string why);
  bool open_checked(const std::filesystem::path& file, std::uint64_t largest_bytes);

  int fd_ = -1;
  std::uint64_t size_ = 0;
  OpenFailure failure_ = OpenFailure::None;
};

}  // namespace tarvo
