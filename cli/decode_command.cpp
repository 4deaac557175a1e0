#include "decode_command.h"

#include <istream>
#include <ostream>

#include "hex_chunk.h"
#include "link/meter_state.h"
#include "link/polling_cycle.h"
#include "options.h"
#include "reading_json.h"
#include "views_json.h"

namespace tarvo::cli {
namespace {

struct DecodeOptions {
  MeterModel family = kDefaultFamily;
  std::string separator = ".";
  int language = 0;  // 0: from the environment
  std::vector<std::string> chunks;
};

DecodeOptions read_options(const std::vector<std::string>& args) {
  DecodeOptions o;
  OptionReader r(args);
  while (!r.done()) {
    if (auto v = r.take("--family")) {
      o.family = parse_family(*v);
    } else if (auto sep = r.take_decimal_separator()) {
      o.separator = *sep;
    } else if (auto lang = r.take("--language")) {
      o.language = static_cast<int>(parse_int_in(*lang, 1, 5, "--language"));
    } else {
      o.chunks.push_back(r.take_positional());
    }
  }
  if (o.language == 0) o.language = language_from_environment();
  return o;
}

// Returns false when the chunk is malformed (nothing printed for it).
bool decode_chunk(MeterState& s, PanelViews& views, const std::string& chunk, std::ostream& out,
                  std::ostream& err) {
  const auto bytes = parse_hex_chunk(chunk);
  if (!bytes) {
    err << "tarvo-cli decode: not hexadecimal byte pairs: \"" << chunk << "\"\n";
    return false;
  }
  s.rx.append(*bytes);
  const bool decoded = decode_frame(s);
  auto j = reading_json(decoded, s.reading);
  j["rx"] = hex_dump(s.rx.held());
  if (decoded) {
    views.show(s.reading, s.DecimalSeparator);
    j["lcd"] = lcd_json(views.lcd);
    j["readout"] = readout_json(views.readout, s.reading, s.DecimalSeparator);
  }
  const CurrentReading& r = s.reading;
  add_typed_keys(
      j, typed_reading(r.Main_No, r.Main_Range, r.Sub_No, r.Sub_range, s.DecimalSeparator).main);
  out << json_line(j) << '\n' << std::flush;
  return true;
}

}  // namespace

int run_decode(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
  DecodeOptions o;
  try {
    o = read_options(args);
  } catch (const UsageError& e) {
    err << "tarvo-cli decode: " << e.what() << '\n';
    return 2;
  }
  MeterState s;
  s.model = o.family;
  s.DecimalSeparator = o.separator;
  s.LanguageBase = o.language * 1000;

  PanelViews views;
  bool all_ok = true;
  if (!o.chunks.empty()) {
    for (const auto& chunk : o.chunks) all_ok = decode_chunk(s, views, chunk, out, err) && all_ok;
  } else {
    for (std::string line; std::getline(in, line);) {
      all_ok = decode_chunk(s, views, line, out, err) && all_ok;
    }
  }
  return all_ok ? 0 : 2;
}

}  // namespace tarvo::cli
