#include "language_switch.h"

#include <QAction>
#include <QActionGroup>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVariant>
#include <string>

#include "link/meter_state.h"
#include "qt_translations.h"

namespace tarvo {

enum class ControlKind { MenuItem, Button, Edit };

struct LanguageControl {
  const char* name;
  ControlKind kind;
  int string;
};

namespace {

// Re-labelled in this order on every switch; nothing else in the window is.
// clang-format off
constexpr LanguageControl kLanguageControls[] = {
    {"File1",          ControlKind::MenuItem, 0},
    {"SAVE_AS",        ControlKind::MenuItem, 4},
    {"Help1",          ControlKind::MenuItem, 6},
    {"mmu_set",        ControlKind::MenuItem, 1},
    {"mmu_set_lan",    ControlKind::MenuItem, 8},
    {"Exit1",          ControlKind::MenuItem, 5},
    {"sys_set",        ControlKind::MenuItem, 27},
    {"MMU_Open",       ControlKind::MenuItem, 2},
    {"mni_Help_M",     ControlKind::MenuItem, 26},
    {"mni_Help_About", ControlKind::MenuItem, 7},
    {"Btn_Start",      ControlKind::Button,   101},
    {"Btn_STOP",       ControlKind::Button,   102},
    {"Btn_Reset",      ControlKind::Button,   103},
    {"Btn_EXT",        ControlKind::Button,   104},
    {"MIN_Tilt",       ControlKind::Edit,     301},
    {"Max_Tilt",       ControlKind::Edit,     300},
    {"MAX_TIME_tile",  ControlKind::Edit,     302},
    {"MIN_TIME_Tilt",  ControlKind::Edit,     302},
    {"mmu_sessions",   ControlKind::MenuItem, 46},
    {"mmu_new_window", ControlKind::MenuItem, 530},
    {"mmu_view",       ControlKind::MenuItem, 70},
    {"mni_statistics", ControlKind::MenuItem, 71},
    {"mni_limits",     ControlKind::MenuItem, 72},
    {"mni_overview",   ControlKind::MenuItem, 120},
    {"mni_add_note",   ControlKind::MenuItem, 545},
    {"mni_combined",   ControlKind::MenuItem, 610},
    {"mni_start_when", ControlKind::MenuItem, 590},
    {"mmu_reset_settings", ControlKind::MenuItem, 180},
    {"mmu_publishing", ControlKind::MenuItem, 480},
};
// clang-format on

constexpr int kLanguageItems = 10;
constexpr int kNamedLanguages = 9;
constexpr std::int32_t kBaseStep = 1000;
constexpr int kCheckedAtStart = 2;
// Smaller captions than this are no longer readable; such a caption stays cut.
constexpr int kSmallestCaptionPixels = 8;

QString qt_text(const std::string& text) {
  return QString::fromStdString(text);
}

// QLineEdit keeps two pixels clear on each side of its text.
constexpr int kEditInnerMargins = 4;

// The width a control takes beside its caption: the platform's button margin
// and frame, as Qt sizes a push button to its text, and for an edit its own
// inner margins as well.
int caption_chrome(const QWidget& control) {
  const QStyle* style = control.style();
  const int chrome = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &control) +
                     2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
  return qobject_cast<const QLineEdit*>(&control) != nullptr ? chrome + kEditInnerMargins : chrome;
}

int caption_text_width(const QWidget& control, const QFontMetrics& metrics) {
  if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
    return metrics.size(Qt::TextShowMnemonic, button->text()).width();
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
    return metrics.horizontalAdvance(edit->text());
  }
  return 0;
}

bool caption_is_cut(const QWidget& control) {
  return caption_text_width(control, control.fontMetrics()) + caption_chrome(control) >
         control.width();
}

constexpr char kOwnFont[] = "tarvo_own_font";

QFont own_font(QWidget& control) {
  if (!control.property(kOwnFont).isValid()) control.setProperty(kOwnFont, control.font());
  return control.property(kOwnFont).value<QFont>();
}

// A translation longer than its control gets a smaller font rather than a cut
// caption; a later, shorter one gets the control's own font back.
void shrink_to_fit(QWidget& control) {
  QFont font = own_font(control);
  control.setFont(font);
  for (int pixels = QFontInfo(font).pixelSize() - 1;
       pixels >= kSmallestCaptionPixels && caption_is_cut(control); --pixels) {
    font.setPixelSize(pixels);
    control.setFont(font);
  }
}

void set_caption(const LanguageControls::Entry& e, const QString& text) {
  if (e.item != nullptr) {
    e.item->setText(text);
  } else if (auto* button = qobject_cast<QPushButton*>(e.widget)) {
    button->setText(text);
    shrink_to_fit(*button);
  } else if (auto* edit = qobject_cast<QLineEdit*>(e.widget)) {
    edit->setText(text);
    shrink_to_fit(*edit);
  }
}

const LanguageControl* row_named(const QString& name) {
  for (const LanguageControl& c : kLanguageControls) {
    if (name == QLatin1String(c.name)) return &c;
  }
  return nullptr;
}

// Spaces and control characters at either end do not make a name.
bool is_blank(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

QString item_name(int number) {
  return QStringLiteral("lan_%1").arg(number, 2, 10, QChar('0'));
}

QAction* item_of(const QMenu& menu, const QString& name) {
  for (QAction* item : menu.actions()) {
    if (item->objectName() == name) return item;
  }
  return nullptr;
}

QAction* language_item(QMenu& menu, QActionGroup& group, int number) {
  const QString name = item_name(number);
  QAction* item = item_of(menu, name);
  if (item == nullptr) {
    item = menu.addAction(QString());
    item->setObjectName(name);
  }
  item->setCheckable(true);
  item->setVisible(false);
  item->setChecked(number == kCheckedAtStart);
  group.addAction(item);
  return item;
}

}  // namespace

void fit_caption(QWidget& control) {
  shrink_to_fit(control);
}

int caption_width_needed(const QWidget& control) {
  const QVariant own = control.property(kOwnFont);
  const QFontMetrics metrics(own.isValid() ? own.value<QFont>() : control.font());
  return caption_text_width(control, metrics) + caption_chrome(control);
}

bool is_language_base(const LanguageTable& table, std::int32_t base) {
  return base % kBaseStep == 0 && !table.language_name(base / kBaseStep).empty();
}

bool LanguageControls::add(QMenu* menu) {
  return menu != nullptr && add(menu->menuAction());
}

// A submenu's caption is the text of its menu action, which has no name of
// its own: the menu's is taken.
bool LanguageControls::add(QObject* control) {
  if (control == nullptr) return false;
  QString name = control->objectName();
  auto* item = qobject_cast<QAction*>(control);
  if (item != nullptr && name.isEmpty() && item->menu() != nullptr)
    name = item->menu()->objectName();
  const LanguageControl* row = row_named(name);
  if (row == nullptr) return false;
  entries_.push_back({row, item, item != nullptr ? nullptr : qobject_cast<QWidget*>(control)});
  return true;
}

std::vector<LanguageControls::Entry> LanguageControls::in_table_order() const {
  std::vector<Entry> ordered;
  for (const LanguageControl& c : kLanguageControls) {
    for (const Entry& e : entries_) {
      if (e.row == &c) ordered.push_back(e);
    }
  }
  return ordered;
}

QActionGroup* InitLanguageMenu(QMenu& languages, const LanguageControls& controls, MeterState& s) {
  QMenu* menu = &languages;
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  for (int number = 1; number <= kLanguageItems; ++number) {
    QAction* item = language_item(*menu, *group, number);
    if (number > kNamedLanguages) continue;
    const std::string& name = s.languages.language_name(number);
    if (!is_blank(name)) {
      item->setText(qt_text(name));
      item->setVisible(true);
    }
    QObject::connect(item, &QAction::triggered, menu, [&controls, &s, item, number] {
      ApplyLanguage(&controls, s, number * kBaseStep);
      item->setChecked(true);
    });
  }
  return group;
}

bool ApplyLanguage(const LanguageControls* controls, MeterState& s, std::int32_t base) {
  if (!is_language_base(s.languages, base)) return false;
  s.LanguageBase = base;
  use_qt_translations(base);
  if (controls == nullptr) return true;
  for (const LanguageControls::Entry& e : controls->in_table_order()) {
    set_caption(e, qt_text(s.text(e.row->string)));
  }
  return true;
}

QStringList cut_captions(const LanguageControls& controls) {
  QStringList cut;
  for (const LanguageControls::Entry& e : controls.in_table_order()) {
    if (e.widget != nullptr && caption_is_cut(*e.widget)) cut << e.row->name;
  }
  return cut;
}

}  // namespace tarvo
