// Serial devices on Windows: the COM ports of the communications API.
#include <windows.h>

#include <string>

#include "link/serial_device.h"

namespace tarvo {
namespace {

constexpr DWORD kQueueSize = 24000;

HANDLE native(PortHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

OpenFailure failure_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return OpenFailure::Missing;
    case ERROR_ACCESS_DENIED:  // what a port held by another program answers
    case ERROR_SHARING_VIOLATION:
      return OpenFailure::Busy;
    default:
      return OpenFailure::Other;
  }
}

// Only the four line settings change; flow control and the parity check stay as
// the driver has them.
bool apply_line_settings(HANDLE h) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return false;
  dcb.BaudRate = CBR_2400;
  dcb.ByteSize = 8;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = ONESTOPBIT;
  if (!SetCommState(h, &dcb)) return false;
  return SetupComm(h, kQueueSize, kQueueSize) != 0;
}

class WindowsSerialDevices final : public SerialDevices {
 public:
  OpenedDevice open(const std::string& device) override {
    const HANDLE h = CreateFileW(widen(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return {0, failure_of(GetLastError())};
    if (!apply_line_settings(h)) {
      CloseHandle(h);
      return {0, OpenFailure::Refused};
    }
    return {reinterpret_cast<PortHandle>(h), OpenFailure::None};
  }

  bool close(PortHandle handle) override { return CloseHandle(native(handle)) != 0; }

  // A USB adapter that was pulled out makes this call fail from then on.
  std::optional<std::int64_t> waiting(PortHandle handle) override {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(native(handle), &errors, &status)) return std::nullopt;
    return static_cast<std::int64_t>(status.cbInQue);
  }

  std::optional<std::int64_t> read(PortHandle handle, std::span<std::uint8_t> buffer) override {
    DWORD got = 0;
    if (!ReadFile(native(handle), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                  nullptr)) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(got);
  }

  void discard_input(PortHandle handle) override { PurgeComm(native(handle), PURGE_RXCLEAR); }
};

}  // namespace

std::unique_ptr<SerialDevices> make_system_serial_devices() {
  return std::make_unique<WindowsSerialDevices>();
}

}  // namespace tarvo
