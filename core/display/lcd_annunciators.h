#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/meter_model.h"
#include "display/rgb.h"

namespace tarvo {

// The LCD replica: a blank 508 x 150 picture with one overlay per annunciator,
// cut from a second picture in which every annunciator is lit. Overlays are
// numbered 0 to 80; only the numbers of the table below have a rectangle.
inline constexpr int kLcdWidth = 508;
inline constexpr int kLcdHeight = 150;
inline constexpr std::size_t kLcdOverlayCount = 81;
inline constexpr std::string_view kLcdBlankPicture = "BMP_LCD_W";
inline constexpr std::string_view kLcdLitPicture = "BMP_LCD_FINAL";

enum class Annunciator : int {
  Volt = 1,
  Amp = 2,
  Ohm = 3,
  Freq = 4,
  Capacitor = 5,
  Diode = 6,
  Continuity = 7,
  Auto = 8,
  Manu = 9,
  Hold = 10,
  Mem = 11,
  Ac = 20,
  Plus = 21,
  Dc = 22,
  MainMinus = 23,
  HighVoltage = 24,
  CapMicro = 25,
  CapNano = 26,
  Farad = 27,
  VoltMilli = 28,
  VoltUnit = 29,
  AmpMilli = 30,
  AmpMicro = 31,
  AmpUnit = 32,
  MainMega = 33,
  MainKilo = 34,
  MainOhm = 35,
  MainHertz = 36,
  Max = 50,
  Min = 51,
  Rel = 52,
  Avg = 53,
  MaxMinBar = 54,
  PcLink = 55,
  Wait = 56,
  SubOhm = 57,
  SubMega = 58,
  SubKilo = 59,
  SubHertz = 60,
  Pulse = 61,
  Percent = 62,
  Decibel = 63,
  DecibelMilli = 64,
  SubMinus = 65,
};

constexpr std::size_t overlay_number(Annunciator a) {
  return static_cast<std::size_t>(a);
}

// Pixels of the LCD picture; the overlays sit at the same place on the panel.
struct LcdRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// What a legend is: text, drawn as given, or one of the symbols.
enum class Glyph { Text, Capacitor, Diode, Beeper, Flash, Bar, Pulse };

// How the lit picture paints a legend.
enum class Paint {
  Framed,  // green text or symbol in a red rounded frame
  Boxed,   // white text on a red rounded box
  Red,     // red symbol or bar
  Green,   // plain green text, symbol or bar
};

struct AnnunciatorRow {
  Annunciator id;
  Glyph glyph;
  std::string_view text;  // the text of a Text legend, a plain name for a symbol
  Paint paint;
  LcdRect rect;
};

// No two rectangles overlap; the legend must be drawn inside its rectangle.
// clang-format off
inline constexpr std::array<AnnunciatorRow, 44> kAnnunciatorTable = {{
    // overlay                   glyph             text         paint          left top   w   h
    {Annunciator::Volt,          Glyph::Text,      "VOLT",      Paint::Framed, { 70,   9, 39, 17}},
    {Annunciator::Amp,           Glyph::Text,      "AMP",       Paint::Framed, {118,   9, 39, 17}},
    {Annunciator::Ohm,           Glyph::Text,      "OHM",       Paint::Framed, {166,   9, 39, 17}},
    {Annunciator::Freq,          Glyph::Text,      "FREQ",      Paint::Framed, {215,   9, 39, 17}},
    {Annunciator::Capacitor,     Glyph::Capacitor, "capacitor", Paint::Framed, {264,   9, 39, 17}},
    {Annunciator::Diode,         Glyph::Diode,     "diode",     Paint::Framed, {309,   9, 39, 17}},
    {Annunciator::Continuity,    Glyph::Beeper,    "beeper",    Paint::Red,    { 70,  32, 39, 17}},
    {Annunciator::Auto,          Glyph::Text,      "AUTO",      Paint::Boxed,  {118,  32, 39, 17}},
    {Annunciator::Manu,          Glyph::Text,      "MANU",      Paint::Boxed,  {166,  32, 39, 17}},
    {Annunciator::Hold,          Glyph::Text,      "HOLD",      Paint::Boxed,  {215,  32, 39, 17}},
    {Annunciator::Mem,           Glyph::Text,      "MEM",       Paint::Boxed,  {264,  32, 39, 17}},
    {Annunciator::Ac,            Glyph::Text,      "AC",        Paint::Green,  {  8,  38, 25, 15}},
    {Annunciator::Plus,          Glyph::Text,      "+",         Paint::Green,  { 13,  57, 14, 13}},
    {Annunciator::Dc,            Glyph::Text,      "DC",        Paint::Green,  {  8,  74, 24, 15}},
    {Annunciator::MainMinus,     Glyph::Bar,       "minus",     Paint::Green,  {  8,  97, 22,  9}},
    {Annunciator::HighVoltage,   Glyph::Flash,     "flash",     Paint::Red,    { 14, 111, 12, 28}},
    {Annunciator::CapMicro,      Glyph::Text,      "\u00B5",    Paint::Green,  {258,  61, 11, 17}},
    {Annunciator::CapNano,       Glyph::Text,      "n",         Paint::Green,  {271,  59, 10, 14}},
    {Annunciator::Farad,         Glyph::Text,      "F",         Paint::Green,  {284,  55, 11, 18}},
    {Annunciator::VoltMilli,     Glyph::Text,      "m",         Paint::Green,  {258,  81, 15, 14}},
    {Annunciator::VoltUnit,      Glyph::Text,      "V",         Paint::Green,  {275,  77, 14, 18}},
    {Annunciator::AmpMilli,      Glyph::Text,      "m",         Paint::Green,  {257, 100, 16, 14}},
    {Annunciator::AmpMicro,      Glyph::Text,      "\u00B5",    Paint::Green,  {275, 101, 11, 18}},
    {Annunciator::AmpUnit,       Glyph::Text,      "A",         Paint::Green,  {289,  96, 14, 18}},
    {Annunciator::MainMega,      Glyph::Text,      "M",         Paint::Green,  {253, 121, 14, 18}},
    {Annunciator::MainKilo,      Glyph::Text,      "k",         Paint::Green,  {269, 121, 10, 19}},
    {Annunciator::MainOhm,       Glyph::Text,      "\u03A9",    Paint::Green,  {282, 121, 16, 18}},
    {Annunciator::MainHertz,     Glyph::Text,      "Hz",        Paint::Green,  {299, 122, 21, 17}},
    {Annunciator::Max,           Glyph::Text,      "MAX",       Paint::Framed, {325,  74, 40, 20}},
    {Annunciator::Min,           Glyph::Text,      "MIN",       Paint::Framed, {389,  75, 40, 20}},
    {Annunciator::Rel,           Glyph::Text,      "\u0394REL", Paint::Framed, {325,  97, 40, 20}},
    {Annunciator::Avg,           Glyph::Text,      "AVG",       Paint::Framed, {389,  97, 40, 20}},
    {Annunciator::MaxMinBar,     Glyph::Bar,       "bar",       Paint::Red,    {369,  82, 13,  5}},
    {Annunciator::PcLink,        Glyph::Text,      "PC-LINK",   Paint::Boxed,  {325, 120, 55, 19}},
    {Annunciator::Wait,          Glyph::Text,      "Wait...",   Paint::Green,  {389, 121, 57, 19}},
    {Annunciator::SubOhm,        Glyph::Text,      "\u03A9",    Paint::Green,  {439,  76, 15, 17}},
    {Annunciator::SubMega,       Glyph::Text,      "M",         Paint::Green,  {461,  76, 12, 17}},
    {Annunciator::SubKilo,       Glyph::Text,      "k",         Paint::Green,  {475,  76,  9, 16}},
    {Annunciator::SubHertz,      Glyph::Text,      "Hz",        Paint::Green,  {487,  76, 18, 17}},
    {Annunciator::Pulse,         Glyph::Pulse,     "pulse",     Paint::Green,  {438,  97, 13, 15}},
    {Annunciator::Percent,       Glyph::Text,      "%",         Paint::Green,  {453,  97, 14, 17}},
    {Annunciator::Decibel,       Glyph::Text,      "dB",        Paint::Green,  {469,  97, 20, 16}},
    {Annunciator::DecibelMilli,  Glyph::Text,      "m",         Paint::Green,  {491, 101, 14, 12}},
    {Annunciator::SubMinus,      Glyph::Bar,       "minus",     Paint::Green,  {342,  31, 16,  8}},
}};
// clang-format on

// The rectangle of an overlay number; 0 x 0 for a number without a legend.
LcdRect lcd_rect(std::size_t overlay);

// The three labels that draw the digits over the blank picture. All are
// right-justified, not auto-sized, bold Arial in kLcdDigitColour on white.
enum class LcdLabel { MainNo, SubNo, Range };

struct LcdLabelLayout {
  LcdLabel label;
  std::string_view control;
  LcdRect rect;
  int char_height;  // pixels
};

// clang-format off
inline constexpr std::array<LcdLabelLayout, 3> kLcdLabelLayouts = {{
    // label            control        left top   w    h   char height
    {LcdLabel::MainNo, "LBL_MAIN_NO", { 39, 65, 208, 78}, 67},
    {LcdLabel::SubNo,  "LBL_SUB_NO",  {363, 11, 140, 51}, 43},
    {LcdLabel::Range,  "LBL_Range",   {  9, 10,  52, 19}, 16},
}};
// clang-format on

inline constexpr std::string_view kLcdDigitFont = "Arial";
inline constexpr Rgb kLcdDigitColour{0, 128, 0};
inline constexpr std::string_view kLcdDesignCaption = "88.888";

struct LcdLabelState {
  std::string caption{kLcdDesignCaption};
  bool visible = true;

  friend bool operator==(const LcdLabelState&, const LcdLabelState&) = default;
};

using LcdFlags = std::bitset<kLcdOverlayCount>;

// Everything the panel shows. A default view is the panel as the window is
// created: no overlay lit, the labels with their design captions.
struct LcdView {
  LcdFlags lit;  // indexed by overlay number
  LcdLabelState main_no;
  LcdLabelState sub_no;
  LcdLabelState range;

  bool is_lit(Annunciator a) const { return lit.test(overlay_number(a)); }
  const LcdLabelState& label(LcdLabel which) const;
};

// The all-segments view shown until the first reading, MEM and Wait...
// included. The labels keep what they show.
LcdView init_lcd_table(const LcdView& previous);

// Reset relights every legend only while a family whose panel does so is
// active (MeterFamily::reset_relights_panel); otherwise the panel keeps its
// last reading.
LcdView reset_lcd(MeterModel model, const LcdView& previous);

// The panel for a decoded reading of either family. The range label keeps its
// caption while hidden, and the main label's visibility is never changed, so
// both come from the previous view.
LcdView update_lcd(const CurrentReading& reading, std::string_view decimal_separator,
                   const LcdView& previous);

}  // namespace tarvo
