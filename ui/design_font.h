#pragma once

#include <QFont>
#include <string_view>

namespace tarvo {

// The windows were designed with fonts this platform may not have. A design
// font maps to families that are here: a CJK sans for the Chinese faces, a
// plain sans for the Latin ones, each followed by the other so that every
// caption finds its glyphs. Heights are character heights in pixels.
QFont design_font(std::string_view design_family, int pixel_height, bool bold = false);

// The narrowest sans the setup script installs, for text that must fit
// columns laid out for a narrower face than this platform has.
QFont narrow_font(int pixel_height);

}  // namespace tarvo
