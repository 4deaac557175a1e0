#include "i18n/language_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <string_view>

#include "i18n/text_numbers.h"

namespace tarvo {
namespace {

// The table answers for 20001 keys and holds only the texts that are filled;
// it is filled when made, and one copy serves every test.
const LanguageTable& table() {
  static const LanguageTable filled;
  return filled;
}

struct TextCase {
  int key;
  std::string_view expected;
};

TEST(LanguageTable, HoldsTheExactTextOfEveryLanguage) {
  const std::string stars(34, '*');
  const TextCase cases[] = {
      {1000, "&File"},
      {2000, "文件(&F)"},
      {5000, "&Archivo"},
      {1001, "Setting"},
      {3001, "&Paramètres"},
      {4002, "Datei &öffnen"},
      {5002, "&Abrir archivo"},
      {2003, "关闭(&C)"},
      {4003, "&Schließen"},
      {1004, "&Save file"},
      {2004, "保存"},
      {1008, "Languages(&L)"},
      {2008, "语言&(L)"},
      {3008, "&Langues"},
      {4008, "&Sprachen"},
      {5008, "&Idiomas"},
      {4010, "Wird geöffnet..."},
      {2015, "您需要安装Microsoft Excel软件"},
      {4015, "Sie müssen Microsoft Excel installieren!"},
      {1016, "No Any data !"},
      {5016, "¡No hay datos!"},
      {3018, "Format des données série incorrect !"},
      {3019, "Aucun port série actif trouvé !"},
      {5019, "¡No se encontró ningún puerto serie activo!"},
      {2022, "设置"},
      {4023, "Datei gespeichert!"},
      {2024, "文件保存失败 !"},
      {5024, "¡No se pudo guardar el archivo!"},
      {3026, "Manuel d'aide"},
      {1027, "Recording interval"},
      {5027, "Intervalo de registro"},
      {3028, "seconde(s)"},
      {2101, "开始"},
      {4103, "Zurücksetzen"},
      {3105, "OK"},
      {5106, "Cancelar"},
      {5200, "Acerca de"},
      {1201, stars},
      {5207, stars},
      {2202, " "},
      {4204, " "},
      {1206, " "},
      {1203, "50000counts Bench Multimeter"},
      {2203, "50000计数台式万用表 "},
      {3203, "Multimètre de table 50000 points"},
      {4203, "Tischmultimeter mit 50000 Counts"},
      {5203, "Multímetro de banco de 50000 cuentas"},
      {2205, "连接软件 版本v1.0"},
      {3205, "Logiciel de liaison version 1.0"},
      {5205, "Software de enlace versión 1.0"},
      {1300, "MAX"},
      {3301, "MIN"},
      {4301, "MIN"},
      {1302, "Time"},
      {5310, "minutos"},
      {3908, "Fermer"},
      {5908, "Cerrar"},
      {1910, "\xE2\x84\x89"},
      {4911, "\xE2\x84\x83"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(table().at(c.key), c.expected) << "key " << c.key;
  }
}

TEST(LanguageTable, OhmSignIsTheSameInEveryLanguage) {
  for (int base = 1000; base <= 5000; base += 1000) {
    EXPECT_EQ(table().text(base, 912), "\xCE\xA9") << base;
  }
}

TEST(LanguageTable, NamesTheFiveLanguagesOnly) {
  const TextCase names[] = {
      {1, "[English]"}, {2, "[简体中文]"}, {3, "[Français]"}, {4, "[Deutsch]"}, {5, "[Español]"},
      {6, ""},          {7, ""},           {8, ""},           {9, ""},          {0, ""},
  };
  for (const TextCase& c : names) EXPECT_EQ(table().language_name(c.key), c.expected) << c.key;
}

TEST(LanguageTable, UnnamedAndOutOfRangeKeysAreEmpty) {
  const int keys[] = {1003, 5003,  1009, 2011,  3014,   4021,   5035,  1100,    2107,   3199, 4208,
                      5299, 1303,  2309, 3907,  1908,   2908,   4909,  5913,    5999,   6000, 6001,
                      9912, 10000, -1,   -2000, -10000, -10001, 10001, INT_MIN, INT_MAX};
  for (int key : keys) EXPECT_EQ(table().at(key), "") << key;
}

// 294 numbered texts in five languages (67 of them the controls' spoken names
// and tooltips, 400-417 and 420-467; 35 of Settings > Publishing, 480-514; 2 of
// File > New window, 530-531; 5 of Add note, 545-549; 15 of the Limits
// dialog's alarm timings and actions, 560-574; the exports' Note column, 575;
// 20 of Start when, 590-609; 9 of the combined chart, 610-618),
// eight of them empty, plus five names:
// any text stored under a wrong key shows up as a different count.
TEST(LanguageTable, StoresNothingBesideTheTable) {
  int filled = 0;
  for (int key = LanguageTable::kMinKey; key <= LanguageTable::kMaxKey; ++key) {
    if (!table().at(key).empty()) ++filled;
  }
  EXPECT_EQ(filled,
            (53 + 16 + 30 + 5 + 7 + 5 + 4 + 5 + 2 + 2 + 2 + 67 + 35 + 4 + 5 + 2 + 5 + 15 + 1 + 20 +
             9) * 5 -
                8 + 5);
}

// The refused save target and the dropped readings name their number or file
// in every language.
TEST(LanguageTable, SaveTargetAndDroppedReadingsTakeTheirPlaceholder) {
  for (const int number : {kTextSaveTargetRefused, kTextBrokerDropped}) {
    for (int base = 1000; base <= 5000; base += 1000) {
      EXPECT_NE(table().text(base, number).find("%1"), std::string::npos) << base + number;
    }
  }
}

TEST(LanguageForLocale, PicksTheLanguageOfTheLocaleCode) {
  const std::pair<const char*, int> cases[] = {
      {"zh_CN.UTF-8", 2}, {"zh_TW", 2},      {"fr_FR", 3},   {"fr_CA.UTF-8", 3},
      {"de", 4},          {"de_DE@euro", 4}, {"DE_de", 4},   {"es_ES.UTF-8", 5},
      {"es_MX", 5},       {"C", 1},          {"C.UTF-8", 1}, {"POSIX", 1},
      {"en_US", 1},       {"", 1},           {"dea", 1},
  };
  for (const auto& [locale, language] : cases) {
    EXPECT_EQ(language_for_locale(locale), language) << locale;
  }
}

TEST(LanguageTable, LinkMessagesExistInEveryLanguage) {
  const TextCase cases[] = {
      {1029, "The meter was disconnected!"},        {2029, "万用表已断开连接!"},
      {3029, "Le multimètre a été déconnecté !"},   {4029, "Das Multimeter wurde getrennt!"},
      {5029, "¡El multímetro se ha desconectado!"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(table().at(c.key), c.expected) << c.key;
  // The access hint must name the group and the command in every language.
  for (int base = 1000; base <= 5000; base += 1000) {
    const std::string& hint = table().text(base, 30);
    EXPECT_NE(hint.find("dialout"), std::string::npos) << base;
    EXPECT_NE(hint.find("sudo usermod -aG dialout $USER"), std::string::npos) << base;
    // The busy-port hint has one place for the list of devices.
    const std::string& busy = table().text(base, 32);
    EXPECT_NE(busy.find("%1"), std::string::npos) << base;
    EXPECT_EQ(busy.find("%1"), busy.rfind("%1")) << base;
  }
}

TEST(LanguageTable, SaveTraceCommandIsNamedInEveryLanguage) {
  const TextCase cases[] = {
      {1031, "Save trace"},          {2031, "保存调试记录"},     {3031, "Enregistrer la trace"},
      {4031, "Protokoll speichern"}, {5031, "Guardar la traza"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(table().at(c.key), c.expected) << c.key;
}

}  // namespace
}  // namespace tarvo
