#pragma once

#include <cstdint>

#include <QStringList>

class QActionGroup;
class QWidget;

namespace tarvo {

class LanguageTable;
struct Session;

// Base 1000 x n names language n; a base that is not a multiple of 1000, or
// whose language has no name, names no language.
bool is_language_base(const LanguageTable& table, std::int32_t base);

// Fills the language table, then gives the Languages menu (the QMenu
// "mmu_set_lan" inside mainWindow) its ten radio items lan_01 to lan_10: the
// named languages visible under their names, lan_02 checked. Item n applies
// base 1000 x n when chosen; lan_10 does nothing. Items that already exist
// under those object names are reused. Returns the items' exclusive group.
QActionGroup* InitLanguageMenu(QWidget& mainWindow, Session& s);

// Makes base the current language, Qt's own texts included, and re-labels the menus, buttons and
// panel titles of mainWindow, found by object name. A base that names no language changes nothing
// and gives false.
bool ApplyLanguage(QWidget* mainWindow, Session& s, std::int32_t base);

// The object names of the re-labelled buttons and edits whose text is wider
// than the room the control gives it, so a window can be checked in every
// language.
QStringList cut_captions(const QWidget& mainWindow);

// The width a button or edit needs for its whole caption in its own font.
int caption_width_needed(const QWidget& control);
// Gives the control its own font back, or a smaller one while the caption is
// still wider than the control.
void fit_caption(QWidget& control);

}  // namespace tarvo
