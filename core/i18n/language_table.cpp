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
// 400-417: spoken names of controls without a caption; 420-468: tooltips;
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
    {46, "Sessio&ns...", "记录会话(&N)...", "&Sessions...", "Si&tzungen...", "S&esiones..."},
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
    {70, "&View", "视图(&V)", "Affic&hage", "&Ansicht", "&Ver"},
    {71, "&Statistics...", "统计(&S)...", "&Statistiques...", "&Statistik...", "&Estadísticas..."},
    {72, "&Limits...", "限值(&L)...", "&Limites...", "&Grenzwerte...", "&Límites..."},
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
    {120, "&Trend overview...", "趋势总览(&T)...", "&Vue d'ensemble de la tendance...",
     "&Trendübersicht...", "&Vista general de la tendencia..."},
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
    // 400-419: what a screen reader calls a control that has no caption of its own.
    {400, "Main reading", "主读数", "Valeur principale", "Hauptmesswert", "Lectura principal"},
    {401, "Test frame", "测试帧", "Trame de test", "Test-Frame", "Trama de prueba"},
    {402, "Send test frame", "发送测试帧", "Envoyer la trame de test", "Test-Frame senden",
     "Enviar trama de prueba"},
    {403, "Readings table", "读数表", "Tableau des mesures", "Messwerttabelle",
     "Tabla de lecturas"},
    {404, "Trend chart", "趋势图", "Graphique de tendance", "Trenddiagramm",
     "Gráfico de tendencia"},
    {405, "Scroll the readings", "滚动读数", "Défilement des mesures", "Messwerte blättern",
     "Desplazar las lecturas"},
    {406, "Chart pages", "图表页", "Pages du graphique", "Diagrammseiten", "Páginas del gráfico"},
    {407, "Highest reading", "最大读数", "Mesure la plus haute", "Höchster Messwert",
     "Lectura más alta"},
    {408, "Time of the highest reading", "最大读数的时间", "Heure de la mesure la plus haute",
     "Zeit des höchsten Messwerts", "Hora de la lectura más alta"},
    {409, "Lowest reading", "最小读数", "Mesure la plus basse", "Niedrigster Messwert",
     "Lectura más baja"},
    {410, "Time of the lowest reading", "最小读数的时间", "Heure de la mesure la plus basse",
     "Zeit des niedrigsten Messwerts", "Hora de la lectura más baja"},
    {411, "Meter display", "仪表显示屏", "Afficheur du multimètre", "Anzeige des Multimeters",
     "Pantalla del multímetro"},
    {412, "Analog scale", "模拟刻度", "Échelle analogique", "Analogskala", "Escala analógica"},
    {413, "Recording interval in seconds", "记录间隔（秒）", "Intervalle de relevé en secondes",
     "Messintervall in Sekunden", "Intervalo de registro en segundos"},
    {414, "Trace of the serial traffic", "串口通信记录", "Trace du trafic série",
     "Protokoll des seriellen Verkehrs", "Traza del tráfico serie"},
    {415, "Statistics table", "统计表", "Tableau des statistiques", "Statistiktabelle",
     "Tabla de estadísticas"},
    {416, "Overview of the whole log", "整个记录的总览", "Vue d'ensemble de tout le journal",
     "Übersicht der ganzen Aufzeichnung", "Vista general de todo el registro"},
    {417, "Readings shown", "显示的读数", "Mesures affichées", "Angezeigte Messwerte",
     "Lecturas mostradas"},
    // 420-479: the tooltips.
    {420, "Open, save and recover logs", "打开、保存和恢复记录",
     "Ouvrir, enregistrer et récupérer des journaux",
     "Aufzeichnungen öffnen, speichern und wiederherstellen",
     "Abrir, guardar y recuperar registros"},
    {421, "Choose the language of the program", "选择程序的语言", "Choisir la langue du programme",
     "Sprache des Programms wählen", "Elegir el idioma del programa"},
    {422, "Settings of the recording", "记录设置", "Réglages de l'enregistrement",
     "Einstellungen der Aufzeichnung", "Ajustes del registro"},
    {423, "Statistics, limits and the overview of the log", "统计、限值和记录总览",
     "Statistiques, limites et vue d'ensemble du journal",
     "Statistik, Grenzwerte und Übersicht der Aufzeichnung",
     "Estadísticas, límites y vista general del registro"},
    {424, "The manual and the program's version", "使用手册和程序版本",
     "Le manuel et la version du programme", "Handbuch und Programmversion",
     "El manual y la versión del programa"},
    {425, "Open a saved text log or session file", "打开已保存的文本记录或会话文件",
     "Ouvrir un journal texte enregistré ou un fichier de session",
     "Gespeicherte Textaufzeichnung oder Sitzungsdatei öffnen",
     "Abrir un registro de texto guardado o un archivo de sesión"},
    {426, "Open a session the program kept on its own", "打开程序自动保存的记录会话",
     "Ouvrir une session conservée automatiquement", "Eine automatisch aufbewahrte Sitzung öffnen",
     "Abrir una sesión guardada automáticamente"},
    {427, "Save the log as text or spreadsheet, or the chart as a picture",
     "将记录保存为文本或电子表格，或将图表保存为图片",
     "Enregistrer le journal en texte ou en tableur, ou le graphique en image",
     "Aufzeichnung als Text oder Tabelle oder das Diagramm als Bild speichern",
     "Guardar el registro como texto u hoja de cálculo, o el gráfico como imagen"},
    {428, "End the program", "退出程序", "Quitter le programme", "Programm beenden",
     "Salir del programa"},
    {429, "How often a reading is logged", "多久记录一次读数",
     "Fréquence d'enregistrement des mesures", "Wie oft ein Messwert aufgezeichnet wird",
     "Cada cuánto se registra una lectura"},
    {430, "Count, extremes and mean of the readings", "读数的数量、极值和平均值",
     "Nombre, extrêmes et moyenne des mesures", "Anzahl, Extremwerte und Mittelwert der Messwerte",
     "Número, extremos y media de las lecturas"},
    {431, "Alarm limits for the current function", "当前功能的报警限值",
     "Limites d'alarme de la fonction actuelle", "Alarmgrenzen der aktuellen Funktion",
     "Límites de alarma de la función actual"},
    {432, "The whole log at a glance", "整个记录一目了然", "Tout le journal d'un coup d'œil",
     "Die ganze Aufzeichnung auf einen Blick", "Todo el registro de un vistazo"},
    {433, "Open the user manual", "打开使用手册", "Ouvrir le manuel d'utilisation",
     "Benutzerhandbuch öffnen", "Abrir el manual de usuario"},
    {434, "Show the program's version", "显示程序版本", "Afficher la version du programme",
     "Programmversion anzeigen", "Mostrar la versión del programa"},
    {435, "Show the serial trace at the next Start", "下次开始时显示串口调试记录",
     "Afficher la trace série au prochain démarrage",
     "Serielles Protokoll beim nächsten Start zeigen",
     "Mostrar la traza serie en el próximo inicio"},
    {436, "Show the program in this language", "以此语言显示程序",
     "Afficher le programme dans cette langue", "Programm in dieser Sprache anzeigen",
     "Mostrar el programa en este idioma"},
    {437, "Find the meter and start logging (F5)", "查找万用表并开始记录 (F5)",
     "Chercher le multimètre et démarrer l'enregistrement (F5)",
     "Multimeter suchen und Aufzeichnung starten (F5)",
     "Buscar el multímetro e iniciar el registro (F5)"},
    {438, "Stop logging and release the port (F6)", "停止记录并释放串口 (F6)",
     "Arrêter l'enregistrement et libérer le port (F6)",
     "Aufzeichnung beenden und Schnittstelle freigeben (F6)",
     "Detener el registro y liberar el puerto (F6)"},
    {439, "Empty the log and every view", "清空记录和所有视图",
     "Vider le journal et toutes les vues", "Aufzeichnung und alle Ansichten leeren",
     "Vaciar el registro y todas las vistas"},
    {440, "The reading the meter shows", "万用表显示的读数", "La valeur affichée par le multimètre",
     "Der Wert, den das Multimeter anzeigt", "La lectura que muestra el multímetro"},
    {441, "Type a frame as hexadecimal bytes", "以十六进制字节输入一帧",
     "Saisir une trame en octets hexadécimaux", "Einen Frame als Hexadezimalbytes eingeben",
     "Escribir una trama en bytes hexadecimales"},
    {442, "Handle the typed frame as if the meter had sent it", "把输入的帧当作万用表发送的帧处理",
     "Traiter la trame saisie comme si le multimètre l'avait envoyée",
     "Den eingegebenen Frame wie einen vom Multimeter gesendeten behandeln",
     "Tratar la trama escrita como si la hubiera enviado el multímetro"},
    {443, "Logged readings; double-click a row to show it in the chart",
     "已记录的读数；双击一行可在图表中显示",
     "Mesures enregistrées ; double-cliquer sur une ligne pour la voir dans le graphique",
     "Aufgezeichnete Messwerte; Doppelklick auf eine Zeile zeigt sie im Diagramm",
     "Lecturas registradas; doble clic en una fila para verla en el gráfico"},
    {444, "Readings over time; Page Up and Page Down turn the pages, End shows the newest",
     "读数随时间的变化；Page Up 和 Page Down 翻页，End 显示最新读数",
     "Mesures au fil du temps ; Page préc. et Page suiv. tournent les pages, Fin montre les "
     "plus récentes",
     "Messwerte im Zeitverlauf; Bild auf und Bild ab blättern, Ende zeigt die neuesten",
     "Lecturas a lo largo del tiempo; Re Pág y Av Pág pasan las páginas, Fin muestra las más "
     "recientes"},
    {445, "Scroll through the logged readings", "滚动浏览已记录的读数",
     "Faire défiler les mesures enregistrées", "Durch die aufgezeichneten Messwerte blättern",
     "Desplazarse por las lecturas registradas"},
    {446, "Page through the chart, 200 readings a page", "翻阅图表，每页 200 个读数",
     "Parcourir le graphique, 200 mesures par page",
     "Durch das Diagramm blättern, 200 Messwerte je Seite",
     "Pasar las páginas del gráfico, 200 lecturas por página"},
    {447, "Highest reading of the chart's page", "图表当前页的最大读数",
     "Mesure la plus haute de la page du graphique", "Höchster Messwert der Diagrammseite",
     "Lectura más alta de la página del gráfico"},
    {448, "When the highest reading was taken", "最大读数的记录时间",
     "Heure de la mesure la plus haute", "Zeitpunkt des höchsten Messwerts",
     "Hora de la lectura más alta"},
    {449, "Lowest reading of the chart's page", "图表当前页的最小读数",
     "Mesure la plus basse de la page du graphique", "Niedrigster Messwert der Diagrammseite",
     "Lectura más baja de la página del gráfico"},
    {450, "When the lowest reading was taken", "最小读数的记录时间",
     "Heure de la mesure la plus basse", "Zeitpunkt des niedrigsten Messwerts",
     "Hora de la lectura más baja"},
    {451, "The meter's display with its symbols", "万用表的显示屏及其符号",
     "L'afficheur du multimètre avec ses symboles",
     "Die Anzeige des Multimeters mit ihren Symbolen",
     "La pantalla del multímetro con sus símbolos"},
    {452, "The reading on an analog scale", "模拟刻度上的读数",
     "La mesure sur une échelle analogique", "Der Messwert auf einer Analogskala",
     "La lectura en una escala analógica"},
    {453, "Seconds between two logged readings, 1 to 120", "两次记录读数之间的秒数，1 至 120",
     "Secondes entre deux mesures enregistrées, de 1 à 120",
     "Sekunden zwischen zwei aufgezeichneten Messwerten, 1 bis 120",
     "Segundos entre dos lecturas registradas, de 1 a 120"},
    {454, "Accept and close", "确认并关闭", "Valider et fermer", "Übernehmen und schließen",
     "Aceptar y cerrar"},
    {455, "Close without changing anything", "关闭且不做任何更改", "Fermer sans rien changer",
     "Schließen, ohne etwas zu ändern", "Cerrar sin cambiar nada"},
    {456, "Close this window", "关闭此窗口", "Fermer cette fenêtre", "Dieses Fenster schließen",
     "Cerrar esta ventana"},
    {457, "Raw bytes and events of the serial ports", "串口的原始字节和事件",
     "Octets bruts et événements des ports série",
     "Rohe Bytes und Ereignisse der seriellen Schnittstellen",
     "Bytes en bruto y eventos de los puertos serie"},
    {458, "Statistics of the shown page, the current run and the whole log",
     "当前页、本次运行和整个记录的统计",
     "Statistiques de la page affichée, de la série en cours et de tout le journal",
     "Statistik der angezeigten Seite, des laufenden Durchgangs und der ganzen Aufzeichnung",
     "Estadísticas de la página mostrada, de la serie actual y de todo el registro"},
    {459, "Readings above this value ring the alarm; empty for none",
     "高于此值的读数会触发报警；留空表示不设上限",
     "Les mesures au-dessus de cette valeur déclenchent l'alarme ; vide : aucune limite",
     "Messwerte über diesem Wert lösen den Alarm aus; leer: keine Grenze",
     "Las lecturas por encima de este valor activan la alarma; vacío: sin límite"},
    {460, "Readings below this value ring the alarm; empty for none",
     "低于此值的读数会触发报警；留空表示不设下限",
     "Les mesures en dessous de cette valeur déclenchent l'alarme ; vide : aucune limite",
     "Messwerte unter diesem Wert lösen den Alarm aus; leer: keine Grenze",
     "Las lecturas por debajo de este valor activan la alarma; vacío: sin límite"},
    {461, "Mark readings outside the limits without a sound", "标记超出限值的读数但不发声",
     "Signaler les mesures hors limites sans son",
     "Messwerte außerhalb der Grenzen ohne Ton markieren",
     "Marcar las lecturas fuera de los límites sin sonido"},
    {462, "Double-click a session to open its readings", "双击一个会话以打开其读数",
     "Double-cliquer sur une session pour ouvrir ses mesures",
     "Doppelklick auf eine Sitzung öffnet ihre Messwerte",
     "Doble clic en una sesión para abrir sus lecturas"},
    {463, "Open the readings of the chosen session", "打开所选会话的读数",
     "Ouvrir les mesures de la session choisie", "Messwerte der gewählten Sitzung öffnen",
     "Abrir las lecturas de la sesión elegida"},
    {464, "Show the whole log or only the current run", "显示整个记录或仅本次运行",
     "Afficher tout le journal ou seulement la série en cours",
     "Die ganze Aufzeichnung oder nur den laufenden Durchgang zeigen",
     "Mostrar todo el registro o solo la serie actual"},
    {465, "Zoom out to the whole range", "缩小以显示整个范围", "Revenir à toute l'étendue",
     "Auf den ganzen Bereich verkleinern", "Alejar hasta todo el intervalo"},
    {466, "Open the readings of the session that did not end", "打开未正常结束的会话的读数",
     "Ouvrir les mesures de la session interrompue", "Messwerte der nicht beendeten Sitzung öffnen",
     "Abrir las lecturas de la sesión interrumpida"},
    {467, "Hide this bar; the session stays under File > Sessions",
     "隐藏此栏；该会话仍在“文件 > 记录会话”中",
     "Masquer cette barre ; la session reste dans Fichier > Sessions",
     "Diese Leiste ausblenden; die Sitzung bleibt unter Datei > Sitzungen",
     "Ocultar esta barra; la sesión sigue en Archivo > Sesiones"},
    {468, "Forget every kept setting and start as on the first start",
     "清除所有保存的设置，恢复为首次启动时的状态",
     "Oublier tous les réglages conservés et repartir comme au premier démarrage",
     "Alle gespeicherten Einstellungen vergessen und wie beim ersten Start beginnen",
     "Olvidar todos los ajustes guardados y empezar como en el primer inicio"},
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
