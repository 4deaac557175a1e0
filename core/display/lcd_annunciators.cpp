#include "display/lcd_annunciators.h"

#include <optional>

#include "decode/meter_family.h"
#include "log/fixed_text.h"
#include "log/range_fields.h"
#include "log/reading_value.h"

namespace tarvo {

namespace {

using A = Annunciator;

bool has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The byte offset of character n (counting from 1); the text's size when it
// has fewer characters.
std::size_t char_offset(std::string_view text, std::size_t n) {
  std::size_t pos = 0;
  for (; n > 1 && pos < text.size(); --n) pos += utf8_char_length(text, pos);
  return pos;
}

std::string_view char_at(std::string_view text, std::size_t n) {
  const std::size_t pos = char_offset(text, n);
  return text.substr(pos, utf8_char_length(text, pos));
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

// Looks past "OHM MANU" (or "FRE AUTO"): the window starts at character 6,
// inside the range word, and its first two characters are still that word, so
// only an "M" of the range or the unit counts. A main or sub range text alike:
// the sub text has no range word, but its short function name is skipped too.
bool has_mega_prefix(std::string_view range) {
  const std::size_t start = char_offset(range, 6);
  if (start >= range.size()) return false;
  const std::string_view window = range.substr(start, char_offset(range.substr(start), 31));
  const std::size_t m = window.find('M');
  return m != std::string_view::npos && m >= char_offset(window, 3);
}

// "OL" and other words light the flash along with any reading above 36 V.
bool is_high_voltage(std::string_view main_no, std::string_view decimal_separator) {
  constexpr std::int64_t kThreshold = 36 * 10000;
  const std::optional<std::int64_t> value = scaled_decimal(main_no, decimal_separator);
  return !value || *value > kThreshold;
}

class Legends {
 public:
  void set(A a, bool on) { lit_.set(overlay_number(a), on); }
  bool operator[](A a) const { return lit_.test(overlay_number(a)); }
  const LcdFlags& flags() const { return lit_; }

 private:
  LcdFlags lit_;
};

void light_function(Legends& l, const CurrentReading& r, std::string_view sep) {
  const std::string_view range = r.Main_Range;
  const std::size_t first_v = range.find('V');
  l.set(A::Volt, first_v != std::string_view::npos && first_v == char_offset(range, 3));
  l.set(A::Diode, has(range, "DIO"));
  l.set(A::Continuity, has(range, "CON"));
  l.set(A::Auto, r.is_AUTO);
  l.set(A::Manu, !r.is_AUTO);
  l.set(A::Hold, r.is_HOLD);
  l.set(A::Ac, has(range, "AC"));
  l.set(A::Plus, has(range, "+"));
  l.set(A::Dc, has(range, "DC"));
  l.set(A::MainMinus, has(r.Main_No, "-"));
  l.set(A::VoltUnit, has(range, "V"));
  l.set(A::VoltMilli, l[A::VoltUnit] && has(range, "m"));
  l.set(A::HighVoltage, l[A::Volt] && !l[A::VoltMilli] && is_high_voltage(r.Main_No, sep));
}

void light_main_units(Legends& l, std::string_view range) {
  l.set(A::Farad, has(range, "CAP"));
  l.set(A::CapMicro, l[A::Farad] && has(range, "u"));
  l.set(A::CapNano, l[A::Farad] && has(range, "n"));
  l.set(A::AmpUnit, char_at(range, 3) == "A");
  l.set(A::AmpMilli, l[A::AmpUnit] && has(range, "m"));
  l.set(A::AmpMicro, l[A::AmpUnit] && has(range, "u"));
  l.set(A::MainOhm, has(range, "OHM") || has(range, "CON"));
  l.set(A::MainHertz, has(range, "Hz"));
  const bool prefixed = l[A::MainOhm] || l[A::MainHertz];
  l.set(A::MainMega, prefixed && has_mega_prefix(range));
  l.set(A::MainKilo, prefixed && has(range, "K"));
}

void light_sub_display(Legends& l, const CurrentReading& r) {
  const std::string_view sub = r.Sub_range;
  const std::string_view range = r.Main_Range;
  l.set(A::SubOhm, has(sub, "OHM") || has(sub, "CON"));
  l.set(A::SubHertz, has(sub, "Hz"));
  const bool prefixed = l[A::SubOhm] || l[A::SubHertz];
  l.set(A::SubMega, prefixed && has_mega_prefix(sub));
  l.set(A::SubKilo, prefixed && has(sub, "K"));
  const bool duty = has(sub, "%") || has(range, "%");
  l.set(A::Pulse, duty);
  l.set(A::Percent, duty);
  const bool dbm = r.is_Sub_dBm || has(sub, "dBm") || has(range, "dBm");
  l.set(A::Decibel, dbm);
  l.set(A::DecibelMilli, dbm);
  l.set(A::SubMinus, has(r.Sub_No, "-"));
}

// Modes 5 to 7 light nothing.
void light_statistics(Legends& l, const CurrentReading& r) {
  const int mode = r.Stat_Mode;
  l.set(A::Max, mode == 1 || mode == 3);
  l.set(A::Min, mode == 2 || mode == 3);
  l.set(A::MaxMinBar, mode == 3);
  l.set(A::Avg, mode == 4);
  l.set(A::Rel, r.is_REL);
}

// The function-row legends repeat the unit legends.
void copy_function_row(Legends& l) {
  l.set(A::Ohm, l[A::MainOhm]);
  l.set(A::Capacitor, l[A::Farad]);
  l.set(A::Amp, l[A::AmpUnit]);
  l.set(A::Freq, l[A::MainHertz]);
}

Legends light_legends(const CurrentReading& r, std::string_view sep) {
  Legends l;
  l.set(A::PcLink, true);
  light_function(l, r, sep);
  light_main_units(l, r.Main_Range);
  light_sub_display(l, r);
  light_statistics(l, r);
  copy_function_row(l);
  return l;
}

// The minus bar shows the sign, so the digits drop the first character.
std::string digits_caption(std::string_view number, bool minus_lit) {
  if (!minus_lit) return std::string(number);
  return std::string(trim(number.substr(utf8_char_length(number, 0))));
}

}  // namespace

LcdRect lcd_rect(std::size_t overlay) {
  for (const AnnunciatorRow& row : kAnnunciatorTable) {
    if (overlay_number(row.id) == overlay) return row.rect;
  }
  return {};
}

const LcdLabelState& LcdView::label(LcdLabel which) const {
  switch (which) {
    case LcdLabel::MainNo:
      return main_no;
    case LcdLabel::SubNo:
      return sub_no;
    case LcdLabel::Range:
      break;
  }
  return range;
}

LcdView init_lcd_table(const LcdView& previous) {
  LcdView view = previous;
  view.lit.reset();
  for (const AnnunciatorRow& row : kAnnunciatorTable) view.lit.set(overlay_number(row.id));
  return view;
}

LcdView reset_lcd(MeterModel model, const LcdView& previous) {
  const MeterFamily* family = family_of(model);
  return family != nullptr && family->reset_relights_panel ? init_lcd_table(previous) : previous;
}

LcdView update_lcd(const CurrentReading& reading, std::string_view decimal_separator,
                   const LcdView& previous) {
  const Legends legends = light_legends(reading, decimal_separator);
  LcdView view = previous;
  view.lit = legends.flags();

  view.range.visible = legends[A::Manu] && !legends[A::Continuity];
  if (view.range.visible) view.range.caption = split_main_range(reading.Main_Range).range_text;

  view.main_no.caption = digits_caption(reading.Main_No, legends[A::MainMinus]);
  view.sub_no.caption = digits_caption(reading.Sub_No, legends[A::SubMinus]);
  view.sub_no.visible = !view.sub_no.caption.empty();
  return view;
}

}  // namespace tarvo
