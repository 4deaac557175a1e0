#include "publish/influx_line.h"

#include <charconv>
#include <cmath>

#include "decode/meter_family.h"
#include "log/typed_reading.h"

namespace tarvo {
namespace {

std::string escaped(std::string_view text, std::string_view special) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n' || c == '\r') c = ' ';  // a line end would end the point itself
    if (special.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

// The shortest text that reads back as the same double.
std::string float_text(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

class Fields {
 public:
  void add(std::string_view key, const std::string& value) {
    if (!text_.empty()) text_ += ',';
    text_ += influx_key(key) + "=" + value;
  }
  void add_number(std::string_view key, std::optional<double> value) {
    if (value && std::isfinite(*value)) add(key, float_text(*value));
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

void add_tag(std::string& line, std::string_view key, std::string_view value) {
  if (!value.empty()) line += "," + influx_key(key) + "=" + influx_key(value);
}

}  // namespace

std::string influx_measurement(std::string_view name) {
  return escaped(name, ", ");
}

std::string influx_key(std::string_view text) {
  return escaped(text, ",= ");
}

std::string influx_string(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n' || c == '\r') c = ' ';
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::int64_t unix_nanoseconds(const LocalTime& t) {
  const std::int64_t seconds = days_from_civil(t.year, t.month, t.day) * 86400 + t.hour * 3600 +
                               t.minute * 60 + t.second - std::int64_t{t.utc_offset_minutes} * 60;
  return seconds * 1'000'000'000 + std::int64_t{t.millisecond} * 1'000'000;
}

std::string influx_line(const OutgoingReading& reading, std::string_view key) {
  const real_Record& r = reading.record;
  const DisplayValue main = typed_reading(r, reading.DecimalSeparator).main;
  const MeterFamily* family = family_of(reading.family);

  std::string line = influx_measurement("tarvo");
  // Sorted by key, as the server keeps them.
  add_tag(line, "family", family != nullptr ? family->name : std::string_view());
  add_tag(line, "function", main.function);
  add_tag(line, "key", key);
  add_tag(line, "meter", reading.port > 0 ? "COM" + std::to_string(reading.port) : "");
  add_tag(line, "unit", main.base_unit);

  Fields f;
  f.add("index", std::to_string(r.Index) + "i");
  if (!main.base_text.empty()) f.add("base_value", main.base_text);
  f.add_number("value", main.value);
  f.add("display", influx_string(r.Main_No.view()));
  if (!main.unit.empty()) f.add("shown_unit", influx_string(main.unit));
  f.add("overload", main.overload ? "true" : "false");
  f.add("frames", std::to_string(r.Frames.count) + "i");
  if (r.Frames.numeric > 0) {
    f.add_number("frame_min", r.Frames.min);
    f.add_number("frame_max", r.Frames.max);
    f.add_number("frame_mean", r.Frames.mean);
  }
  line += " " + f.text();
  if (r.Dated) line += " " + std::to_string(unix_nanoseconds(r.DateTime));
  return line;
}

}  // namespace tarvo
