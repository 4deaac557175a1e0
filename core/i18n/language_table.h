#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Every localized text of the program, five languages side by side. A text lives
// under the key language base (1000 x language number) + string number; keys 1
// to 9 hold the language names shown in the Languages menu.
class LanguageTable {
 public:
  static constexpr int kMinKey = -10000;
  static constexpr int kMaxKey = 10000;

  // Key numbers of the texts the program looks up by name.
  static constexpr int kEnglish = 1000;
  static constexpr int kChinese = 2000;
  static constexpr int kFrench = 3000;
  static constexpr int kGerman = 4000;
  static constexpr int kSpanish = 5000;

  // A table holds every text and the five language names from the start;
  // entries the table does not name stay empty. The texts live on the heap,
  // so a table (and a session holding one) is small enough for the stack;
  // only the keys in use hold a text, the others share the empty one.
  LanguageTable();

  // The text at a key; the empty text for an unfilled or out-of-range key.
  const std::string& at(int key) const;
  // The text with string number n of the language at base.
  const std::string& text(std::int32_t base, int n) const { return at(base + n); }
  // The name of language number 1 to 9 ("[English]"), empty when there is none.
  const std::string& language_name(int number) const { return at(number); }

 private:
  // Stores every text and the five language names.
  void FillLanguageTable();
  void store(int key, std::string_view text);

  // Per key, the index of its text in texts_; index 0 is the empty text.
  std::vector<std::uint16_t> slots_;
  std::vector<std::string> texts_;
};

// The language number (1 to 5) that suits a locale name such as "de_DE.UTF-8":
// zh 2, fr 3, de 4, es 5, anything else 1.
int language_for_locale(const std::string& locale);

}  // namespace tarvo
