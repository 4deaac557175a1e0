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
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QVariant>
#include <string>

#include "qt_translations.h"
#include "session.h"

namespace tarvo {
namespace {

enum class ControlKind { MenuItem, Button, Edit };

struct LanguageControl {
  const char* name;
  ControlKind kind;
  int string;
};

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

// A submenu's caption is the text of its menu action.
QAction* menu_item(QWidget& window, const char* name) {
  if (auto* menu = window.findChild<QMenu*>(name)) return menu->menuAction();
  return window.findChild<QAction*>(name);
}

bool button_text_is_cut(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  const QRect room =
      button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
  return button.fontMetrics().size(Qt::TextShowMnemonic, button.text()).width() > room.width();
}

bool edit_text_is_cut(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  const QRect room = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
  const QMargins margins = edit.textMargins();
  // QLineEdit keeps a couple of pixels clear on each side of the text.
  constexpr int kInnerMargin = 2;
  const int width = room.width() - margins.left() - margins.right() - 2 * kInnerMargin;
  return edit.fontMetrics().horizontalAdvance(edit.text()) > width;
}

bool caption_is_cut(const QWidget& control) {
  if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
    return button_text_is_cut(*button);
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) return edit_text_is_cut(*edit);
  return false;
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

void set_caption(QWidget& window, const LanguageControl& c, const QString& text) {
  switch (c.kind) {
    case ControlKind::MenuItem:
      if (QAction* item = menu_item(window, c.name)) item->setText(text);
      break;
    case ControlKind::Button:
      if (auto* button = window.findChild<QPushButton*>(c.name)) {
        button->setText(text);
        shrink_to_fit(*button);
      }
      break;
    case ControlKind::Edit:
      if (auto* edit = window.findChild<QLineEdit*>(c.name)) {
        edit->setText(text);
        shrink_to_fit(*edit);
      }
      break;
  }
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

QAction* language_item(QMenu& menu, QActionGroup& group, int number) {
  const QString name = item_name(number);
  QAction* item = menu.findChild<QAction*>(name);
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
  if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return metrics.size(Qt::TextShowMnemonic, button->text()).width() + button->width() -
           room.width() + 2;
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    constexpr int kInnerMargins = 4;  // QLineEdit keeps two pixels clear on each side
    return metrics.horizontalAdvance(edit->text()) + edit->width() - room.width() + kInnerMargins +
           1;
  }
  return control.width();
}

bool is_language_base(const LanguageTable& table, std::int32_t base) {
  return base % kBaseStep == 0 && !table.language_name(base / kBaseStep).empty();
}

QActionGroup* InitLanguageMenu(QWidget& mainWindow, Session& s) {
  s.languages.FillLanguageTable();
  auto* menu = mainWindow.findChild<QMenu*>(QStringLiteral("mmu_set_lan"));
  if (menu == nullptr) return nullptr;
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
    QObject::connect(item, &QAction::triggered, &mainWindow, [&mainWindow, &s, item, number] {
      ApplyLanguage(&mainWindow, s, number * kBaseStep);
      item->setChecked(true);
    });
  }
  return group;
}

bool ApplyLanguage(QWidget* mainWindow, Session& s, std::int32_t base) {
  if (!is_language_base(s.languages, base)) return false;
  s.LanguageBase = base;
  use_qt_translations(base);
  if (mainWindow == nullptr) return true;
  for (const LanguageControl& c : kLanguageControls) {
    set_caption(*mainWindow, c, qt_text(s.text(c.string)));
  }
  return true;
}

QStringList cut_captions(const QWidget& mainWindow) {
  QStringList cut;
  for (const LanguageControl& c : kLanguageControls) {
    if (c.kind == ControlKind::Button) {
      const auto* button = mainWindow.findChild<QPushButton*>(c.name);
      if (button != nullptr && button_text_is_cut(*button)) cut << c.name;
    } else if (c.kind == ControlKind::Edit) {
      const auto* edit = mainWindow.findChild<QLineEdit*>(c.name);
      if (edit != nullptr && edit_text_is_cut(*edit)) cut << c.name;
    }
  }
  return cut;
}

}  // namespace tarvo
