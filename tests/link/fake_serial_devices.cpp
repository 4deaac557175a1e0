#include "fake_serial_devices.h"

#include <algorithm>

namespace tarvo::testing {

class FakeSerialDevices final : public SerialDevices {
 public:
  explicit FakeSerialDevices(FakeBus& bus) : bus_(bus) {}

  OpenedDevice open(const std::string& name) override {
    const auto it = bus_.devices_.find(name);
    if (it == bus_.devices_.end()) return {0, OpenFailure::Missing};
    FakeDevice& d = it->second;
    if (d.refuse != OpenFailure::None) return {0, d.refuse};
    if (d.open) return {0, OpenFailure::Busy};
    d.open = true;
    names_.push_back(name);
    return {names_.size(), OpenFailure::None};
  }
  bool close(PortHandle h) override {
    device(h).open = false;
    return true;
  }
  std::optional<std::int64_t> waiting(PortHandle h) override {
    FakeDevice& d = device(h);
    ++d.queries;
    if (d.gone) return std::nullopt;
    return static_cast<std::int64_t>(d.queued.size());
  }
  std::optional<std::int64_t> read(PortHandle h, std::span<std::uint8_t> buffer) override {
    FakeDevice& d = device(h);
    ++d.queries;
    if (d.gone) return std::nullopt;
    const std::size_t n = std::min(buffer.size(), d.queued.size());
    std::copy_n(d.queued.begin(), n, buffer.begin());
    d.queued.erase(d.queued.begin(), d.queued.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<std::int64_t>(n);
  }
  void discard_input(PortHandle h) override {
    FakeDevice& d = device(h);
    ++d.purges;
    d.queued.clear();
  }

 private:
  FakeDevice& device(PortHandle h) { return bus_.devices_.at(names_.at(h - 1)); }

  FakeBus& bus_;
  std::vector<std::string> names_;  // handle n is names_[n - 1]
};

std::unique_ptr<SerialDevices> FakeBus::devices() {
  return std::make_unique<FakeSerialDevices>(*this);
}

}  // namespace tarvo::testing
