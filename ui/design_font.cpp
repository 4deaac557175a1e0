#include "design_font.h"

#include <QStringList>
#include <array>

namespace tarvo {
namespace {

constexpr const char* kCjkSans = "WenQuanYi Micro Hei";
constexpr const char* kLatinSans = "DejaVu Sans";
// Close to the narrow metrics of the dialog face the windows were laid out in.
constexpr const char* kNarrowSans = "DejaVu Sans Condensed";
constexpr const char* kNarrowestSans = "Liberation Sans Narrow";

struct FontMapping {
  std::string_view design;
  std::array<const char*, 3> families;
};

constexpr std::array<FontMapping, 4> kFontMappings{{
    {"宋体", {kCjkSans, kLatinSans, kLatinSans}},
    {"黑体", {kCjkSans, kLatinSans, kLatinSans}},
    {"Tahoma", {kNarrowSans, kLatinSans, kCjkSans}},
    {"Arial", {kLatinSans, kCjkSans, kCjkSans}},
}};

}  // namespace

QFont design_font(std::string_view design_family, int pixel_height, bool bold) {
  QStringList families{kLatinSans, kCjkSans};
  for (const FontMapping& m : kFontMappings) {
    if (m.design != design_family) continue;
    families.clear();
    for (const char* family : m.families) {
      if (!families.contains(QLatin1String(family))) families << QLatin1String(family);
    }
  }
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_height);
  font.setBold(bold);
  return font;
}

QFont narrow_font(int pixel_height) {
  QFont font;
  font.setFamilies({kNarrowestSans, kNarrowSans, kCjkSans});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_height);
  return font;
}

}  // namespace tarvo
