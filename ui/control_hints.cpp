#include "control_hints.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "link/meter_state.h"

namespace tarvo {
namespace {

// Language items all share one tooltip; their names are their captions.
constexpr char kLanguageItemPrefix[] = "lan_";
constexpr int kLanguageItemTip = 436;

// clang-format off
constexpr ControlHint kHints[] = {
    // The main window's menus and their items.
    {"File1",            0,   420},
    {"mmu_set_lan",      0,   421},
    {"mmu_set",          0,   422},
    {"mmu_view",         0,   423},
    {"Help1",            0,   424},
    {"MMU_Open",         0,   425},
    {"mmu_sessions",     0,   426},
    {"mmu_new_window",   0,   531},
    {"SAVE_AS",          0,   427},
    {"Exit1",            0,   428},
    {"sys_set",          0,   429},
    {"mmu_reset_settings", 0, 468},
    {"mni_statistics",   0,   430},
    {"mni_limits",       0,   431},
    {"mni_overview",     0,   432},
    {"mni_add_note",     0,   549},
    {"mni_combined",     0,   618},
    {"mni_start_when",   0,   609},
    {"mni_Help_M",       0,   433},
    {"mni_Help_About",   0,   434},
    {"mni_debug",        0,   435},
    // The main window's controls.
    {"Btn_Start",        0,   437},
    {"Btn_STOP",         0,   438},
    {"Btn_Reset",        0,   439},
    {"Btn_EXT",          0,   428},
    {"mainno",           400, 440},
    {"edt_test",         401, 441},
    {"btn_test",         402, 442},
    {"StringGrid1",      403, 443},
    {"Chart1",           404, 444},
    {"scrlbr_Grid1",     405, 445},
    {"scrlbr_chart1",    406, 446},
    {"MAX_NO",           407, 447},
    {"max_time_no",      408, 448},
    {"MIN_NO",           409, 449},
    {"MIN_TIME_NO",      410, 450},
    {"IMG_LCD",          411, 451},
    {"IMG_BP",           412, 452},
    {"btn_newest",       132, 133},
    {"RecoveryOpen",     0,   466},
    {"RecoveryDismiss",  0,   467},
    // The dialogs and tool windows.
    {"trckbr_samp1",     413, 453},
    {"btn_OK",           0,   454},
    {"btn_cancel",       0,   455},
    {"Button1",          105, 456},
    {"mmo1",             414, 457},
    {"StatisticsTable",  415, 458},
    {"HighLimit",        92,  459},
    {"LowLimit",         93,  460},
    {"MuteAlarm",        0,   461},
    {"Hysteresis",       560, 565},
    {"MinDuration",      561, 566},
    {"StaleAfter",       562, 567},
    {"AlarmNotices",     0,   571},
    {"AlarmsToBroker",   0,   572},
    {"AlarmCommand",     570, 573},
    {"SessionList",      47,  462},
    {"btn_open_session", 0,   463},
    {"OverviewScope",    417, 464},
    {"OverviewShowAll",  0,   465},
    {"OverviewPlot",     416, 126},
    {"mmu_publishing",   0,   503},
    {"PublishBroker",    483, 504},
    {"PublishTls",       0,   505},
    {"PublishUser",      485, 506},
    {"PublishPassword",  486, 507},
    {"PublishPrefix",    487, 508},
    {"PublishDiscovery", 0,   509},
    {"InfluxUrl",        490, 510},
    {"InfluxDatabase",   491, 511},
    {"InfluxOrg",        492, 512},
    {"InfluxBucket",     493, 513},
    {"InfluxToken",      494, 514},
};
// clang-format on

QString text_of(const MeterState& s, int n) {
  return QString::fromStdString(s.text(n));
}

void hint_item(QAction& item, const MeterState& s) {
  const QString name = item.objectName();
  const int tip = name.startsWith(QLatin1String(kLanguageItemPrefix)) ? kLanguageItemTip
                                                                      : control_hint(name).tip;
  if (tip != 0) item.setToolTip(text_of(s, tip));
}

// A submenu's caption is its menu action, which carries the menu's hint.
void hint_menu(QMenu& menu, const MeterState& s) {
  menu.setToolTipsVisible(true);
  const ControlHint hint = control_hint(menu.objectName());
  if (hint.tip != 0) menu.menuAction()->setToolTip(text_of(s, hint.tip));
}

void hint_widget(QWidget& widget, const MeterState& s) {
  if (auto* menu = qobject_cast<QMenu*>(&widget)) {
    hint_menu(*menu, s);
    return;
  }
  const ControlHint hint = control_hint(widget.objectName());
  if (hint.spoken != 0) widget.setAccessibleName(text_of(s, hint.spoken));
  if (hint.tip != 0) widget.setToolTip(text_of(s, hint.tip));
}

}  // namespace

ControlHint control_hint(const QString& object_name) {
  for (const ControlHint& h : kHints) {
    if (object_name == QLatin1String(h.name)) return h;
  }
  return {nullptr, 0, 0};
}

void apply_control_hints(QWidget& window, const MeterState& s) {
  hint_widget(window, s);
  for (QWidget* widget : window.findChildren<QWidget*>()) hint_widget(*widget, s);
  for (QAction* item : window.findChildren<QAction*>()) hint_item(*item, s);
}

}  // namespace tarvo
