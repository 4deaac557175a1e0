#include "i18n/language_table.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

namespace tarvo {

namespace {

struct TextRow {
  int number;
  std::string_view en, zh, fr, de, es;
};

// Texts 0-34: menus, messages and the running state; 40-41: an abandoned command;
// 60-64: the broker's state; 70-99: the View menu's windows; 120-126: the trend overview;
// 130-134: following and holding, the debug window's title;
// 140-143: the recovery bar and the marks of the log;
// 150-154: session lines that wait for the disk, a session file made anew;
// 160-161: a save target refused, readings the broker's queue dropped; 170-171: the status
// bar's idle texts; 180-181: Reset settings and what it did;
// 101-106: buttons; 200-207: about box; 300-310: MAX/MIN panel; 908-912: unit signs.
// Spaces at either end belong to the text, and "&" marks the menu accelerator.
constexpr TextRow kTexts[] = {
    {0, "&File", "文件(&F)", "&Fichier", "&Datei", "&Archivo"},
    {1, "Setting", "设置(&S)", "&Paramètres", "&Einstellungen", "&Configuración"},
    {2, "&Open file", "打开(&O)", "&Ouvrir un fichier", "Datei &öffnen", "&Abrir archivo"},
    {3, "", "关闭(&C)", "&Fermer", "&Schließen", ""},
    {4, "&Save file", "保存", "&Enregistrer le fichier", "Datei &speichern", "&Guardar archivo"},
    {5, "&Exit", "退出(&E)", "&Quitter", "&Beenden", "&Salir"},
    {6, "&Help", "帮助(&H)", "&Aide", "&Hilfe", "Ay&uda"},
    {7, "&About", "关于(&A)", "À &propos", "&Über", "&Acerca de"},
    {8, "Languages(&L)", "语言&(L)", "&Langues", "&Sprachen", "&Idiomas"},
    {10, "", "正在打开....", "Ouverture...", "Wird geöffnet...", ""},
    {15, "You must install Microsoft Excel!", "您需要安装Microsoft Excel软件",
     "Vous devez installer Microsoft Excel !", "Sie müssen Microsoft Excel installieren!",
     "¡Debe instalar Microsoft Excel!"},
    {16, "No Any data !", "没有数据!", "Aucune donnée !", "Keine Daten!", "¡No hay datos!"},
    {17, "Wrong file format!", "文件格式错误!", "Format de fichier incorrect !",
     "Falsches Dateiformat!", "¡Formato de archivo incorrecto!"},
    {18, "", "串口数据格式错误!", "Format des données série incorrect !",
     "Falsches Format der seriellen Daten!", ""},
    {19, "No Activate COM port found!", "没有找到活动的串口!", "Aucun port série actif trouvé !",
     "Keine aktive serielle Schnittstelle gefunden!",
     "¡No se encontró ningún puerto serie activo!"},
    {20, "Warning!", "警告!", "Attention !", "Warnung!", "¡Advertencia!"},
    {22, "Setting", "设置", "Paramètres", "Einstellungen", "Configuración"},
    {23, "File save OK !", "文件已保存!", "Fichier enregistré !", "Datei gespeichert!",
     "¡Archivo guardado!"},
    {24, "File save fail !", "文件保存失败 !", "Échec de l'enregistrement du fichier !",
     "Datei konnte nicht gespeichert werden!", "¡No se pudo guardar el archivo!"},
    {25, "File is not exist!", "文件不存在!", "Le fichier n'existe pas !",
     "Die Datei existiert nicht!", "¡El archivo no existe!"},
    {26, "Help manual", "帮助手册", "Manuel d'aide", "Hilfehandbuch", "Manual de ayuda"},
    {27, "Recording interval", "记录间隔时间", "Intervalle de relevé", "Messintervall",
     "Intervalo de registro"},
    {28, "Seconds", "秒", "seconde(s)", "Sekunde(n)", "segundo(s)"},
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
    {42, "Waiting...", "等待仪表", "Attente...", "Warte...", "Esperando..."},
    {43, "Waiting for the meter", "正在等待万用表重新连接", "Attente du multimètre",
     "Warte auf Messgerät", "Esperando al medidor"},
    {44, "Session not on disk", "会话未写入磁盘", "Session non écrite", "Sitzung nicht gesichert",
     "Sesión no guardada"},
    {45,
     "The last session did not end properly.\nStarted: %1\nReadings: %2\nLast reading: "
     "%3\n\nOpen its readings?",
     "上次记录未正常结束。\n开始时间：%1\n读数：%2\n最后读数：%3\n\n是否打开这些读数？",
     "La dernière session ne s'est pas terminée normalement.\nDébut : %1\nMesures : "
     "%2\nDernière mesure : %3\n\nOuvrir ses mesures ?",
     "Die letzte Sitzung wurde nicht ordnungsgemäß beendet.\nBeginn: %1\nMesswerte: "
     "%2\nLetzter Messwert: %3\n\nIhre Messwerte öffnen?",
     "La última sesión no terminó correctamente.\nInicio: %1\nLecturas: %2\nÚltima lectura: "
     "%3\n\n¿Abrir sus lecturas?"},
    {46, "Sessions...", "记录会话...", "Sessions...", "Sitzungen...", "Sesiones..."},
    {47, "Kept sessions", "保存的记录会话", "Sessions conservées", "Aufbewahrte Sitzungen",
     "Sesiones guardadas"},
    {48, "Started", "开始时间", "Début", "Beginn", "Inicio"},
    {49, "Readings", "读数", "Mesures", "Messwerte", "Lecturas"},
    {50, "State", "状态", "État", "Zustand", "Estado"},
    {51, "unfinished", "未完成", "inachevée", "unvollständig", "inacabada"},
    {52, "stopped", "已停止", "arrêtée", "beendet", "detenida"},
    {53, "saved", "已保存", "enregistrée", "gespeichert", "guardada"},
    {54, "recording", "记录中", "en cours", "läuft", "en curso"},
    {55, "No sessions are kept yet.", "尚无保存的记录会话。", "Aucune session n'est conservée.",
     "Es sind noch keine Sitzungen aufbewahrt.", "Todavía no hay sesiones guardadas."},
    {56, "Last reading", "最后读数", "Dernière mesure", "Letzter Messwert", "Última lectura"},
    {57, "Open", "打开", "Ouvrir", "Öffnen", "Abrir"},
    {60, "Broker: connecting", "MQTT 代理：正在连接", "Broker : connexion", "Broker: verbindet",
     "Bróker: conectando"},
    {61, "Broker: online", "MQTT 代理：在线", "Broker : en ligne", "Broker: online",
     "Bróker: en línea"},
    {62, "Broker: offline", "MQTT 代理：离线", "Broker : hors ligne", "Broker: offline",
     "Bróker: sin conexión"},
    {63, "Broker: login refused", "MQTT 代理：登录被拒绝", "Broker : connexion refusée",
     "Broker: Anmeldung abgelehnt", "Bróker: acceso rechazado"},
    {64, "%1 readings waiting", "%1 条读数待发送", "%1 mesures en attente", "%1 Messwerte warten",
     "%1 lecturas en espera"},
    {70, "View", "视图", "Affichage", "Ansicht", "Ver"},
    {71, "Statistics...", "统计...", "Statistiques...", "Statistik...", "Estadísticas..."},
    {72, "Limits...", "限值...", "Limites...", "Grenzwerte...", "Límites..."},
    {73, "Statistics", "统计", "Statistiques", "Statistik", "Estadísticas"},
    {74, "Chart page", "图表页", "Page du graphique", "Diagrammseite", "Página del gráfico"},
    {75, "Current run", "当前段", "Série en cours", "Aktuelle Reihe", "Serie actual"},
    {76, "Whole log", "整个记录", "Journal entier", "Gesamte Aufzeichnung", "Registro completo"},
    {77, "Function and unit", "功能和单位", "Fonction et unité", "Funktion und Einheit",
     "Función y unidad"},
    {78, "Count", "数量", "Nombre", "Anzahl", "Cantidad"},
    {79, "Minimum", "最小值", "Minimum", "Minimum", "Mínimo"},
    {80, "Time of the minimum", "最小值时间", "Heure du minimum", "Zeit des Minimums",
     "Hora del mínimo"},
    {81, "Maximum", "最大值", "Maximum", "Maximum", "Máximo"},
    {82, "Time of the maximum", "最大值时间", "Heure du maximum", "Zeit des Maximums",
     "Hora del máximo"},
    {83, "Mean", "平均值", "Moyenne", "Mittelwert", "Media"},
    {84, "Standard deviation", "标准差", "Écart type", "Standardabweichung", "Desviación típica"},
    {85, "First reading", "第一个读数", "Première mesure", "Erster Messwert", "Primera lectura"},
    {86, "Last reading", "最后读数", "Dernière mesure", "Letzter Messwert", "Última lectura"},
    {87, "Overloads", "过载", "Surcharges", "Überlastungen", "Sobrecargas"},
    {88, "Lowest frame", "最低帧", "Trame la plus basse", "Niedrigster Frame", "Trama más baja"},
    {89, "Highest frame", "最高帧", "Trame la plus haute", "Höchster Frame", "Trama más alta"},
    {90, "Outside the limits", "超出限值", "Hors limites", "Außerhalb der Grenzen",
     "Fuera de los límites"},
    {91, "Limits", "限值", "Limites", "Grenzwerte", "Límites"},
    {92, "High limit", "上限", "Limite haute", "Obere Grenze", "Límite superior"},
    {93, "Low limit", "下限", "Limite basse", "Untere Grenze", "Límite inferior"},
    {94, "Mute the alarm", "报警静音", "Couper l'alarme", "Alarm stummschalten",
     "Silenciar la alarma"},
    {95, "For %1", "适用于 %1", "Pour %1", "Für %1", "Para %1"},
    {96, "Reading %1 is outside the limits: %2", "读数 %1 超出限值：%2",
     "La mesure %1 est hors limites : %2", "Messwert %1 liegt außerhalb der Grenzen: %2",
     "La lectura %1 está fuera de los límites: %2"},
    {97, "Not a number: %1", "不是数字：%1", "Ce n'est pas un nombre : %1", "Keine Zahl: %1",
     "No es un número: %1"},
    {98, "The low limit is above the high limit.", "下限高于上限。",
     "La limite basse dépasse la limite haute.", "Die untere Grenze liegt über der oberen.",
     "El límite inferior supera al superior."},
    {99, "There is no reading yet to take the function and unit from.",
     "还没有读数可确定功能和单位。", "Aucune mesure ne donne encore la fonction et l'unité.",
     "Noch kein Messwert gibt Funktion und Einheit vor.",
     "Aún no hay lectura que indique la función y la unidad."},
    {101, "Start", "开始", "Démarrer", "Start", "Iniciar"},
    {102, "Stop", "停止", "Arrêter", "Stopp", "Detener"},
    {103, "Reset", "重设", "Réinitialiser", "Zurücksetzen", "Restablecer"},
    {104, "Exit", "退出", "Quitter", "Beenden", "Salir"},
    {105, "OK", "确定", "OK", "OK", "Aceptar"},
    {106, "Cancel", "取消", "Annuler", "Abbrechen", "Cancelar"},
    {120, "Trend overview...", "趋势总览...", "Vue d'ensemble de la tendance...",
     "Trendübersicht...", "Vista general de la tendencia..."},
    {121, "Trend overview", "趋势总览", "Vue d'ensemble de la tendance", "Trendübersicht",
     "Vista general de la tendencia"},
    {122, "Show all", "显示全部", "Tout afficher", "Alles zeigen", "Mostrar todo"},
    {123, "Readings %1 to %2 of %3", "读数 %1 至 %2，共 %3", "Mesures %1 à %2 sur %3",
     "Messwerte %1 bis %2 von %3", "Lecturas %1 a %2 de %3"},
    {124, "from %1 to %2", "从 %1 到 %2", "de %1 à %2", "von %1 bis %2", "de %1 a %2"},
    {125, "No readings yet", "尚无读数", "Aucune mesure pour l'instant", "Noch keine Messwerte",
     "Aún no hay lecturas"},
    {126, "Wheel: zoom, drag: move, click: show the reading in the chart",
     "滚轮：缩放，拖动：移动，单击：在图表中显示该读数",
     "Molette : zoom, glisser : déplacer, clic : afficher la mesure dans le graphique",
     "Mausrad: zoomen, ziehen: verschieben, klicken: Messwert im Diagramm zeigen",
     "Rueda: zoom, arrastrar: mover, clic: mostrar la lectura en el gráfico"},
    {130, "Following paused", "已暂停跟随", "Suivi en pause", "Mitlaufen angehalten",
     "Seguimiento en pausa"},
    {131, "Following paused: %1 new readings", "已暂停跟随：新增 %1 个读数",
     "Suivi en pause : %1 nouvelles mesures", "Mitlaufen angehalten: %1 neue Messwerte",
     "Seguimiento en pausa: %1 lecturas nuevas"},
    {132, "Back to newest", "回到最新", "Aller au plus récent", "Zum neuesten",
     "Ir a lo más reciente"},
    {133, "Show the newest readings and follow them again (End)", "显示最新读数并继续跟随 (End)",
     "Afficher les mesures les plus récentes et les suivre à nouveau (Fin)",
     "Die neuesten Messwerte zeigen und wieder mitlaufen (Ende)",
     "Mostrar las lecturas más recientes y volver a seguirlas (Fin)"},
    {134, "Debug trace", "调试记录", "Journal de débogage", "Debug-Protokoll",
     "Registro de depuración"},
    {140, "The last session did not end properly (started %1, %2 readings, last %3).",
     "上次记录未正常结束（开始于 %1，%2 个读数，最后读数 %3）。",
     "La dernière session ne s'est pas terminée normalement (début %1, %2 mesures, dernière %3).",
     "Die letzte Sitzung wurde nicht ordnungsgemäß beendet (Beginn %1, %2 Messwerte, letzter %3).",
     "La última sesión no terminó correctamente (inicio %1, %2 lecturas, última %3)."},
    {141, "Dismiss", "忽略", "Ignorer", "Verwerfen", "Descartar"},
    {142, "First reading after the meter came back: nothing was read before it since the loss",
     "万用表重新连接后的第一个读数：断开期间没有读数",
     "Première mesure après le retour du multimètre : rien n'a été lu pendant son absence",
     "Erster Messwert nach der Rückkehr des Messgeräts: während seiner Abwesenheit wurde nichts "
     "gelesen",
     "Primera lectura tras el regreso del medidor: no se leyó nada durante su ausencia"},
    {143, "Test frame typed by hand: not counted in statistics, limits or publishing",
     "手动输入的测试帧：不计入统计、限值和发布",
     "Trame de test saisie à la main : exclue des statistiques, des limites et de la publication",
     "Von Hand eingegebener Testrahmen: nicht in Statistik, Grenzwerten und Veröffentlichung",
     "Trama de prueba escrita a mano: excluida de estadísticas, límites y publicación"},
    {150, "%1 readings wait in memory and are written as soon as the disk takes them again. %2",
     "%1 个读数在内存中等待，磁盘可以写入后立即写入。%2",
     "%1 mesures attendent en mémoire et seront écrites dès que le disque les accepte à nouveau. "
     "%2",
     "%1 Messwerte warten im Speicher und werden geschrieben, sobald der Datenträger sie wieder "
     "aufnimmt. %2",
     "%1 lecturas esperan en la memoria y se escribirán en cuanto el disco las acepte de nuevo. "
     "%2"},
    {151, "Session on disk again", "会话已重新写入", "Session réécrite", "Sitzung wieder gesichert",
     "Sesión guardada otra vez"},
    {152, "Since %1 every waiting reading is in %2.", "自 %1 起，所有等待的读数都已写入 %2。",
     "Depuis %1, toutes les mesures en attente sont dans %2.",
     "Seit %1 stehen alle wartenden Messwerte in %2.",
     "Desde las %1, todas las lecturas en espera están en %2."},
    {153, "New session file", "已新建会话文件", "Session recréée", "Sitzung neu angelegt",
     "Sesión recreada"},
    {154, "At %1 the session file had been deleted; %2 holds the readings from then on.",
     "%1 时会话文件已被删除；此后的读数保存在 %2 中。",
     "À %1, le fichier de session avait été supprimé ; %2 contient les mesures à partir de ce "
     "moment.",
     "Um %1 war die Sitzungsdatei gelöscht; %2 enthält die Messwerte ab diesem Zeitpunkt.",
     "A las %1 se había borrado el archivo de sesión; %2 guarda las lecturas desde entonces."},
    {160,
     "Not saved: %1 is not a regular file (a device, a pipe, a folder or a link) and was left as "
     "it is.",
     "未保存：%1 不是普通文件（设备、管道、文件夹或链接），已保持原样。",
     "Non enregistré : %1 n'est pas un fichier ordinaire (périphérique, tube, dossier ou lien) ; "
     "il est resté tel quel.",
     "Nicht gespeichert: %1 ist keine gewöhnliche Datei (Gerät, Pipe, Ordner oder Verknüpfung) und "
     "blieb unverändert.",
     "No guardado: %1 no es un archivo normal (dispositivo, tubería, carpeta o enlace) y se dejó "
     "como estaba."},
    {161, "%1 readings dropped", "已丢弃 %1 条读数", "%1 mesures perdues", "%1 Messwerte verworfen",
     "%1 lecturas descartadas"},
    {170, "STOP", "STOP", "ARRÊT", "STOPP", "PARADO"},
    {171, "Sampling", "Sampling", "Échantillonnage", "Abtastung", "Muestreo"},
    {180, "&Reset settings", "重置设置(&R)", "&Réinitialiser les paramètres",
     "Einstellungen &zurücksetzen", "&Restablecer la configuración"},
    {181, "The settings are back to those of the first start.", "设置已恢复为首次启动时的状态。",
     "Les paramètres sont revenus à ceux du premier démarrage.",
     "Die Einstellungen sind wieder die des ersten Starts.",
     "La configuración ha vuelto a la del primer inicio."},
    {200, "About", "关于", "À propos", "Über", "Acerca de"},
    {201, "**********************************", "**********************************",
     "**********************************", "**********************************",
     "**********************************"},
    {202, " ", " ", " ", " ", " "},
    {203, "50000counts Bench Multimeter", "50000计数台式万用表 ",
     "Multimètre de table 50000 points", "Tischmultimeter mit 50000 Counts",
     "Multímetro de banco de 50000 cuentas"},
    {204, " ", " ", " ", " ", " "},
    {205, "Linker Software version 1.0", "连接软件 版本v1.0", "Logiciel de liaison version 1.0",
     "Verbindungssoftware Version 1.0", "Software de enlace versión 1.0"},
    {206, " ", " ", " ", " ", " "},
    {207, "**********************************", "**********************************",
     "**********************************", "**********************************",
     "**********************************"},
    {300, "MAX", "最大", "MAX", "MAX", "MAX"},
    {301, "MIN", "最小", "MIN", "MIN", "MIN"},
    {302, "Time", "时间", "Heure", "Zeit", "Hora"},
    {310, "Minutes", "分钟", "minutes", "Minuten", "minutos"},
    {908, "", "", "Fermer", "Schließen", "Cerrar"},
    {910, "℉", "℉", "℉", "℉", "℉"},
    {911, "℃", "℃", "℃", "℃", "℃"},
    {912, "Ω", "Ω", "Ω", "Ω", "Ω"},
};

// Each language under its own name, whatever the current one: a user finds
// their language without reading another.
constexpr std::string_view kLanguageNames[] = {"[English]", "[简体中文]", "[Français]", "[Deutsch]",
                                               "[Español]"};

constexpr int kLanguageCount = 5;
constexpr int kBaseStep = 1000;

const std::string kEmpty;

}  // namespace

LanguageTable::LanguageTable() : slots_(kMaxKey - kMinKey + 1, 0), texts_(1) {
  FillLanguageTable();
}

void LanguageTable::FillLanguageTable() {
  texts_.reserve(1 + kLanguageCount * (1 + std::size(kTexts)));
  for (int number = 1; number <= kLanguageCount; ++number) {
    store(number, kLanguageNames[number - 1]);
  }
  for (const TextRow& row : kTexts) {
    const std::string_view texts[kLanguageCount] = {row.en, row.zh, row.fr, row.de, row.es};
    for (int language = 1; language <= kLanguageCount; ++language) {
      store(language * kBaseStep + row.number, texts[language - 1]);
    }
  }
}

void LanguageTable::store(int key, std::string_view text) {
  std::uint16_t& slot = slots_[static_cast<std::size_t>(key - kMinKey)];
  if (slot != 0) {
    texts_[slot] = text;
    return;
  }
  slot = static_cast<std::uint16_t>(texts_.size());
  texts_.emplace_back(text);
}

const std::string& LanguageTable::at(int key) const {
  if (key < kMinKey || key > kMaxKey) return kEmpty;
  return texts_[slots_[static_cast<std::size_t>(key - kMinKey)]];
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
