#include "i18n/language_table.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tarvo {

namespace {

struct TextRow {
  int number;
  std::string_view en, zh, fr, de, es;
};

// Texts 0-34: menus, messages and the running state; 40-41: an abandoned command;
// 60-64: the broker's state;
// 101-106: buttons; 200-207: about box; 300-310: MAX/MIN panel; 908-912: unit signs.
// Spaces at either end belong to the text, and "&" marks the menu accelerator.
constexpr TextRow kTexts[] = {
    {0, "&File", "文件(&F)", "Fichier(&F)", "Datei(&F)", "&Fila"},
    {1, "Setting", "设置(&S)", "Mettre en place des(&S)", "einrichten(&S)", "Ajuste"},
    {2, "&Open file", "打开(&O)", "Ouvrez(&O)", "geöffnet(&O)", "&Abierto fila"},
    {3, "", "关闭(&C)", "Fermer(&C)", "in der Nähe(&C)", ""},
    {4, "&Save file", "保存", "Enregistrer", "sparen", "&Ahorrar fila"},
    {5, "&Exit", "退出(&E)", "Quittez(&E)", "verlassen(&E)", "&Salida"},
    {6, "&Help", "帮助(&H)", "Aide(&H)", "Hilfe(&H)", "&Ayuda"},
    {7, "&About", "关于(&A)", "Sur(&A)", "auf(&A)", "&Sobre"},
    {8, "Languages(&L)", "语言&(L)", "Langue&(L)", "Sprache&(L)", "Idiomas(&L)"},
    {10, "", "正在打开....", "ouverture....", "Eröffnung ....", ""},
    {15, "You must install Microsoft Excel!", "您需要安装Microsoft Excel软件",
     "Vous devez installer Microsoft Excel Logiciel",
     "Sie benötigen zur Installation Microsoft Excel Software", "Debe instalar Microsoft Excel!"},
    {16, "No Any data !", "没有数据!", "Pas de données!", "keine Daten!", "No Todos los datos !"},
    {17, "Wrong file format!", "文件格式错误!", "Erreur de format de fichier!",
     "Dateiformat-Fehler!", "Formato de archivo incorrecto!"},
    {18, "", "串口数据格式错误!", "Serial erreur de format de données!",
     "Serielle Daten format error!", ""},
    {19, "No Activate COM port found!", "没有找到活动的串口!",
     "Vous n'avez pas trouvé l'activité des ports série!",
     "Haben Sie das Aktivitäten der seriellen Schnittstelle!",
     "No hay ningún puerto COM Active encontrado!"},
    {20, "Warning!", "警告!", "Attention!", "Warnung!", "Advertencia!"},
    {22, "Setting", "设置", "Mettre en place des", "einrichten", "Ajuste"},
    {23, "File save OK !", "文件已保存!", "Le fichier a été sauvé!", "Datei gespeichert wurde!",
     "Aceptar para guardar archivos !"},
    {24, "File save fail !", "文件保存失败 !", "Fichier Enregistrer échoué!",
     "Datei fehlgeschlagen!", "Archivo de salvar no !"},
    {25, "File is not exist!", "文件不存在!", "Le fichier n'existe pas!",
     "Die Datei existiert nicht!", "El archivo no es existir!"},
    {26, "Help manual", "帮助手册", "Manuel d'Aide", "Hilfe Handbuch", "Manual de ayuda"},
    {27, "Recording interval", "记录间隔时间", "Intervalle d'enregistrement temps",
     "Aufzeichnungsintervall", "La grabación a intervalos"},
    {28, "Seconds", "秒", "Deuxième", "zweite", "segundos"},
    {29, "The meter was disconnected!", "万用表已断开连接!", "Le multimètre a été déconnecté !",
     "Das Multimeter wurde getrennt!", "¡El multímetro se ha desconectado!"},
    {30,
     "Some serial ports could not be opened for lack of permission. On Linux, add your user to "
     "the dialout group (sudo usermod -aG dialout $USER), then log out and back in.",
     "部分串口因权限不足无法打开。在 Linux 上，请将您的用户加入 dialout 组"
     "（sudo usermod -aG dialout $USER），然后注销并重新登录。",
     "Certains ports série n'ont pas pu être ouverts faute d'autorisation. Sous Linux, ajoutez "
     "votre utilisateur au groupe dialout (sudo usermod -aG dialout $USER), puis fermez la "
     "session et reconnectez-vous.",
     "Einige serielle Schnittstellen konnten mangels Berechtigung nicht geöffnet werden. Fügen "
     "Sie unter Linux Ihren Benutzer der Gruppe dialout hinzu (sudo usermod -aG dialout $USER) "
     "und melden Sie sich danach ab und wieder an.",
     "Algunos puertos serie no se pudieron abrir por falta de permisos. En Linux, añada su "
     "usuario al grupo dialout (sudo usermod -aG dialout $USER) y luego cierre la sesión y "
     "vuelva a iniciarla."},
    {31, "Save trace", "保存调试记录", "Enregistrer la trace", "Protokoll speichern",
     "Guardar la traza"},
    {32, "These serial ports are held by another program: %1. Close that program, then try again.",
     "以下串口正被其他程序占用：%1。请关闭该程序后重试。",
     "Ces ports série sont occupés par un autre programme : %1. Fermez ce programme, puis "
     "réessayez.",
     "Diese seriellen Schnittstellen sind von einem anderen Programm belegt: %1. Schließen Sie "
     "dieses Programm und versuchen Sie es erneut.",
     "Estos puertos serie están ocupados por otro programa: %1. Cierre ese programa y vuelva a "
     "intentarlo."},
    {33, "Searching...", "正在查找...", "Recherche...", "Suche...", "Buscando..."},
    {34, "Reading", "正在读取", "Lecture", "Messung", "Leyendo"},
    {40, "Not enough memory: the command was abandoned. The log is kept.",
     "内存不足：命令已放弃。记录已保留。",
     "Mémoire insuffisante : la commande a été abandonnée. Le journal est conservé.",
     "Nicht genug Speicher: Der Befehl wurde abgebrochen. Die Aufzeichnung bleibt erhalten.",
     "Memoria insuficiente: se abandonó la orden. El registro se conserva."},
    {41, "The command failed and was abandoned. The log is kept.", "命令失败，已放弃。记录已保留。",
     "La commande a échoué et a été abandonnée. Le journal est conservé.",
     "Der Befehl ist fehlgeschlagen und wurde abgebrochen. Die Aufzeichnung bleibt erhalten.",
     "La orden falló y se abandonó. El registro se conserva."},
    {60, "Broker: connecting", "MQTT 代理：正在连接", "Broker : connexion", "Broker: verbinde",
     "Bróker: conectando"},
    {61, "Broker: online", "MQTT 代理：在线", "Broker : en ligne", "Broker: online",
     "Bróker: en línea"},
    {62, "Broker: offline", "MQTT 代理：离线", "Broker : hors ligne", "Broker: offline",
     "Bróker: sin conexión"},
    {63, "Broker: login refused", "MQTT 代理：登录被拒绝", "Broker : connexion refusée",
     "Broker: Anmeldung abgelehnt", "Bróker: acceso rechazado"},
    {64, "%1 readings waiting", "%1 条读数待发送", "%1 mesures en attente", "%1 Messwerte warten",
     "%1 lecturas en espera"},
    {101, "Start", "开始", "Démarrer", "Start", "comienzo"},
    {102, "Stop", "停止", "Arrêtez", "Stopp", "parada"},
    {103, "Reset", "重设", "Réinitialiser", "Zurücksetzen", "reajustar"},
    {104, "Exit", "退出", "Quittez", "verlassen", "salida"},
    {105, "OK", "确定", "déterminer", "bestimmen", "Aceptar"},
    {106, "Cancel", "取消", "Annuler", "stornieren", "cancelar"},
    {200, "About", "关于", "Sur", "auf", "sobre"},
    {201, "**********************************", "**********************************",
     "**********************************", "**********************************",
     "**********************************"},
    {202, " ", " ", " ", " ", " "},
    {203, "50000counts Bench Multimeter", "50000计数台式万用表 ", "50000 Banc compte multimètre ",
     "50000 zählt Bench Multimeter ", " 50000 cuenta con multímetro de banco "},
    {204, " ", " ", " ", " ", " "},
    {205, "Linker Software version 1.0", "连接软件 版本v1.0", "Linker Software version1.0",
     "Linker Software version1.0", "Enlazador Software versión 1.0"},
    {206, " ", " ", " ", " ", " "},
    {207, "**********************************", "**********************************",
     "**********************************", "**********************************",
     "**********************************"},
    {300, "MAX", "最大", "maximum", "Maximum", "MAX"},
    {301, "MIN", "最小", "les moins", "am wenigsten", "MIN"},
    {302, "Time", "时间", "temps", "Zeit", "tiempo"},
    {310, "Minutes", "分钟", "minute", "Minute", "minutos"},
    {908, "", "", "Close", "Close", "cerca"},
    {910, "℉", "℉", "℉", "℉", "℉"},
    {911, "℃", "℃", "℃", "℃", "℃"},
    {912, "Ω", "Ω", "Ω", "Ω", "Ω"},
};

// Shown as they are in every language; the last three are in Chinese.
constexpr std::string_view kLanguageNames[] = {"[English]", "[简体中文]", "[法语]", "[德语]",
                                               "[西班牙]"};

constexpr int kLanguageCount = 5;
constexpr int kBaseStep = 1000;

const std::string kEmpty;

}  // namespace

LanguageTable::LanguageTable() : entries_(kMaxKey - kMinKey + 1) {
  FillLanguageTable();
}

void LanguageTable::FillLanguageTable() {
  for (int number = 1; number <= kLanguageCount; ++number) {
    entries_[number - kMinKey] = kLanguageNames[number - 1];
  }
  for (const TextRow& row : kTexts) {
    const std::string_view texts[kLanguageCount] = {row.en, row.zh, row.fr, row.de, row.es};
    for (int language = 1; language <= kLanguageCount; ++language) {
      entries_[language * kBaseStep + row.number - kMinKey] = texts[language - 1];
    }
  }
}

const std::string& LanguageTable::at(int key) const {
  if (key < kMinKey || key > kMaxKey) return kEmpty;
  return entries_[static_cast<std::size_t>(key - kMinKey)];
}

int language_for_locale(const std::string& locale) {
  // "de", "de_DE", "de_DE.UTF-8" and "de@euro" all name German; the language
  // code is whatever comes before the territory, code set or modifier.
  std::string code = locale.substr(0, locale.find_first_of("_.@-"));
  std::transform(code.begin(), code.end(), code.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (code == "zh") return 2;
  if (code == "fr") return 3;
  if (code == "de") return 4;
  if (code == "es") return 5;
  return 1;
}

}  // namespace tarvo
