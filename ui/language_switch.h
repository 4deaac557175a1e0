#pragma once

#include <cstdint>

#include <QStringList>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QObject;
class QWidget;

namespace tarvo {

class LanguageTable;
struct MeterState;
struct LanguageControl;

// The controls a language switch re-labels, registered where the window
// builds them. Which text each one gets, and in what order, is the caption
// table's: a control is known by its object name's row there.
class LanguageControls {
 public:
  // A menu, menu item, button or title box; false (and nothing kept) for a
  // control the caption table does not list.
  bool add(QMenu* menu);
  bool add(QObject* control);

  struct Entry {
    const LanguageControl* row;
    QAction* item;    // for a menu or menu item
    QWidget* widget;  // for a button or title box
  };
  // In the caption table's order.
  std::vector<Entry> in_table_order() const;

 private:
  std::vector<Entry> entries_;
};

// Base 1000 x n names language n; a base that is not a multiple of 1000, or
// whose language has no name, names no language.
bool is_language_base(const LanguageTable& table, std::int32_t base);

// Gives the Languages menu its ten radio items lan_01 to lan_10: the named
// languages visible under their names, lan_02 checked. Item n applies base
// 1000 x n to controls when chosen; lan_10 does nothing. Items the menu
// already has under those object names are reused. Returns the items'
// exclusive group.
QActionGroup* InitLanguageMenu(QMenu& menu, const LanguageControls& controls, MeterState& s);

// Makes base the current language, Qt's own texts included, and re-labels the
// registered menus, buttons and panel titles (none when controls is null). A
// base that names no language changes nothing and gives false.
bool ApplyLanguage(const LanguageControls* controls, MeterState& s, std::int32_t base);

// The object names of the re-labelled buttons and edits whose text is wider
// than the room the control gives it, so a window can be checked in every
// language.
QStringList cut_captions(const LanguageControls& controls);

// The width a button or edit needs for its whole caption in its own font.
int caption_width_needed(const QWidget& control);
// Gives the control its own font back, or a smaller one while the caption is
// still wider than the control.
void fit_caption(QWidget& control);

}  // namespace tarvo
