#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/language_table.h"

namespace tarvo {
namespace {

const LanguageTable& table() {
  static const LanguageTable filled;
  return filled;
}

constexpr int kLanguages[] = {LanguageTable::kEnglish, LanguageTable::kChinese,
                              LanguageTable::kFrench, LanguageTable::kGerman,
                              LanguageTable::kSpanish};
constexpr int kTranslated[] = {LanguageTable::kFrench, LanguageTable::kGerman,
                               LanguageTable::kSpanish};

struct Same {
  int number;
  int base;
};

// Where the English word is also the right French, German or Spanish one; the
// same list stands in docs/translations.md.
constexpr Same kSameAsEnglish[] = {
    {61, LanguageTable::kGerman},   // "Broker: online"
    {62, LanguageTable::kGerman},   // "Broker: offline"
    {521, LanguageTable::kGerman},  // "InfluxDB: online"
    {522, LanguageTable::kGerman},  // "InfluxDB: offline"
    {79, LanguageTable::kFrench},   // "Minimum"
    {79, LanguageTable::kGerman},   // "Minimum"
    {81, LanguageTable::kFrench},   // "Maximum"
    {81, LanguageTable::kGerman},   // "Maximum"
    {101, LanguageTable::kGerman},  // "Start"
    {105, LanguageTable::kFrench},  // "OK"
    {105, LanguageTable::kGerman},  // "OK"
    {575, LanguageTable::kFrench},  // "Note"
};
// The same in every language: the about box's frame, the MAX/MIN panel's
// abbreviations, a product's name (InfluxDB) and the unit signs.
constexpr int kSameEverywhere[] = {201, 202, 204, 206, 207, 300, 301, 489, 910, 911, 912};

bool may_equal_english(int number, int base) {
  if (std::ranges::find(kSameEverywhere, number) != std::end(kSameEverywhere)) return true;
  return std::ranges::any_of(kSameAsEnglish,
                             [&](const Same& s) { return s.number == number && s.base == base; });
}

TEST(Translations, EveryLanguageIsNamedInItsOwnWords) {
  const std::pair<int, std::string_view> names[] = {
      {1, "[English]"}, {2, "[简体中文]"}, {3, "[Français]"}, {4, "[Deutsch]"}, {5, "[Español]"},
  };
  for (const auto& [number, name] : names) EXPECT_EQ(table().language_name(number), name);
}

// Every text shown in English has its own French, German and Spanish text.
TEST(Translations, EveryEnglishTextIsTranslated) {
  for (int n = 0; n < 1000; ++n) {
    const std::string& english = table().text(LanguageTable::kEnglish, n);
    if (english.empty()) continue;
    for (const int base : kTranslated) {
      const std::string& text = table().text(base, n);
      EXPECT_FALSE(text.empty()) << base + n;
      if (!may_equal_english(n, base)) {
        EXPECT_NE(text, english) << base + n;
      }
    }
  }
}

TEST(Translations, ExceptionsAreStillTheEnglishWord) {
  for (const Same& s : kSameAsEnglish) {
    EXPECT_EQ(table().text(s.base, s.number), table().text(LanguageTable::kEnglish, s.number))
        << s.base + s.number << ": drop it from the list once it is translated";
  }
}

int count_of(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// A translation that loses or doubles a placeholder shows "%1" or drops the
// number it stands for.
TEST(Translations, KeepEveryPlaceholderOfTheEnglish) {
  for (int n = 0; n < 1000; ++n) {
    const std::string& english = table().text(LanguageTable::kEnglish, n);
    for (const std::string mark : {"%1", "%2", "%3"}) {
      for (const int base : kLanguages) {
        EXPECT_EQ(count_of(table().text(base, n), mark), count_of(english, mark))
            << base + n << " " << mark;
      }
    }
  }
}

// The accelerator of a caption: the character after its "&", lower-cased
// when it is ASCII; empty when there is none.
std::string accelerator(const std::string& caption) {
  const auto at = caption.find('&');
  if (at == std::string::npos || at + 1 >= caption.size()) return {};
  const auto first = static_cast<unsigned char>(caption[at + 1]);
  if (first < 0x80) return std::string(1, static_cast<char>(std::tolower(first)));
  std::size_t end = at + 2;
  while (end < caption.size() && (static_cast<unsigned char>(caption[end]) & 0xC0) == 0x80) ++end;
  return caption.substr(at + 1, end - at - 1);
}

// The menu bar and each menu with the string numbers of their captions.
const std::vector<std::vector<int>> kMenus = {
    {0, 8, 1, 70, 6},  // the menu bar: File, Languages, Setting, View, Help
    {2, 46, 4, 5},     // File
    {27, 180},         // Setting
    {71, 72, 120},     // View
    {26, 7},           // Help
};

TEST(Translations, MenuAcceleratorsAreUniqueWithinTheirMenu) {
  for (const int base : kLanguages) {
    for (const std::vector<int>& menu : kMenus) {
      std::set<std::string> taken;
      for (const int n : menu) {
        const std::string key = accelerator(table().text(base, n));
        if (key.empty()) continue;
        EXPECT_TRUE(taken.insert(key).second) << base + n << " repeats &" << key;
      }
    }
  }
}

// A caption with an accelerator in English keeps one in the translations,
// and it marks a letter of the caption.
TEST(Translations, TranslatedMenusKeepTheirAccelerators) {
  for (const std::vector<int>& menu : kMenus) {
    for (const int n : menu) {
      const bool english_has = !accelerator(table().text(LanguageTable::kEnglish, n)).empty();
      for (const int base : kTranslated) {
        const std::string key = accelerator(table().text(base, n));
        if (english_has) {
          EXPECT_FALSE(key.empty()) << base + n;
        }
        if (!key.empty()) {
          EXPECT_TRUE(key.size() > 1 || std::isalpha(static_cast<unsigned char>(key[0])))
              << base + n;
        }
      }
    }
  }
}

// The menus and items that are this program's own, beyond the original
// captions, each have an accelerator in every language.
TEST(Translations, OwnMenusAndItemsHaveAnAcceleratorInEveryLanguage) {
  for (const int n : {46, 70, 71, 72, 120}) {
    for (const int base : kLanguages) {
      EXPECT_FALSE(accelerator(table().text(base, n)).empty()) << base + n;
    }
  }
}

}  // namespace
}  // namespace tarvo
