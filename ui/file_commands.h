#pragma once

#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "files/file_types.h"
#include "message_box.h"

class QWidget;

namespace tarvo {

class RecoveryBar;
class TForm1;

// The dialogs' name filters, "TXT File(*.TXT *.txt)", one per file type in
// the order of file_types().
QStringList save_name_filters();
QStringList open_name_filters();

// The file to write for a chosen name and the dialog's selected type (an index
// into file_types()): the name itself when its extension is known, else the
// name with the selected type's extension added, so that Save As never
// reports a file it did not write.
std::filesystem::path completed_save_name(const std::filesystem::path& chosen, int filter);

struct SaveChoice {
  std::filesystem::path file;
  int filter = 0;  // index into file_types()
};

// The dialogs and message boxes of the two commands; tests replace them.
struct FileCommandEnv {
  // nullopt when the user cancels.
  std::function<std::optional<SaveChoice>(QWidget* parent)> choose_save;
  std::function<std::optional<std::filesystem::path>(QWidget* parent)> choose_open;
  std::function<void(MessageKind, const std::string&)> message;
  // File > Sessions: the chosen session file, nullopt when cancelled.
  std::function<std::optional<std::filesystem::path>(QWidget* parent)> choose_session;
  // A yes-or-no question; true for yes.
  std::function<bool(const std::string& question)> ask;
};

// The real file dialogs and modal message boxes over window.
FileCommandEnv dialog_env(QWidget* window);

// File > Save As: the log as a text log, a spreadsheet or a picture of the
// chart, then the result as a message.
void SAVE_ASClick(TForm1& window);
void SAVE_ASClick(TForm1& window, const FileCommandEnv& env);

// File > Open: a text log replaces the log when all of it is valid, and the
// grid and the chart show it.
void MMU_OpenClick(TForm1& window);
void MMU_OpenClick(TForm1& window, const FileCommandEnv& env);

// Opens a text log or a session file as File > Open does. False when it was
// refused (the message has been shown).
bool open_log_file(TForm1& window, const std::filesystem::path& file, const FileCommandEnv& env);

// File > Sessions: the kept sessions; the chosen one is opened as by Open.
void mmu_sessionsClick(TForm1& window, const FileCommandEnv& env);

// At start-up: when the newest session ended without a word (a crash, a kill,
// a power cut) and holds readings, a bar over the chart offers to open it; it
// asks nothing and holds nothing up. The bar, or nullptr when there is no
// such session.
RecoveryBar* offer_session_recovery(TForm1& window, const FileCommandEnv& env);

}  // namespace tarvo
