#include "file_commands.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <exception>

#include "chart_picture.h"
#include "control_hints.h"
#include "data_grid.h"
#include "files/file_types.h"
#include "files/log_file.h"
#include "files/save_target.h"
#include "files/session_marks.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "files/spreadsheet_export.h"
#include "files/text_log.h"
#include "i18n/text_numbers.h"
#include "main_window.h"
#include "recovery_bar.h"
#include "session_dialog.h"
#include "trend_chart.h"
#include "work_progress.h"

namespace tarvo {

namespace {

// How a branch of Save As ended. A picture that could not be saved ends the
// command with a warning and no result message.
enum class Branch { Saved, Failed, PictureFailed };

QString work_label(const std::filesystem::path& file) {
  return QString::fromStdString(file.filename().string());
}

// A text log that could not be written says so twice: an error of its own,
// then the command's result.
Branch save_text(TForm1& window, const std::filesystem::path& file, const FileCommandEnv& env) {
  const MeterState& s = window.program().state();
  bool saved = false;
  {
    WorkProgress progress(&window, work_label(file), window.tick_timer());
    saved = SaveTextLog(s.log, file, nullptr, progress.callback());
  }
  if (saved) return Branch::Saved;
  env.message(MessageKind::Error, s.text(kTextNoData));
  return Branch::Failed;
}

Branch export_sheet(TForm1& window, const std::filesystem::path& file, SpreadsheetFormat format) {
  WorkProgress progress(&window, work_label(file), window.tick_timer());
  const MeterState& s = window.program().state();
  const NoteColumn notes(s.text(kTextNoteColumn), window.notes().notes(), s.log.count());
  const bool saved = ExportSpreadsheet(s.log, file, format, progress.callback(), nullptr,
                                       s.DecimalSeparator, notes);
  return saved ? Branch::Saved : Branch::Failed;
}

Branch save_picture(TForm1& window, const std::filesystem::path& file, PictureFormat format) {
  const bool saved = save_chart_picture(&window, *window.trend_chart(), file, format);
  return saved ? Branch::Saved : Branch::PictureFailed;
}

Branch save_as(TForm1& window, const std::filesystem::path& file, const FileType& type,
               const FileCommandEnv& env) {
  switch (type.writer) {
    case FileWriter::TextLog:
      return save_text(window, file, env);
    case FileWriter::Spreadsheet:
      return export_sheet(window, file, type.sheet);
    case FileWriter::Picture:
      return save_picture(window, file, type.picture);
  }
  return Branch::Failed;
}

// The views after a load: the grid, the chart's scrollbar, the grid's
// scrollbar, then the page that ends with the last record. The chart draws
// the loaded log also when no meter family is set (after Reset), or the user
// would see the grid filled and the chart empty. False when the chart cannot
// draw that page.
bool show_loaded_log(TForm1& window) {
  const MeterState& s = window.program().state();
  DataGrid& grid = *window.data_grid();
  TrendChart& chart = *window.trend_chart();
  grid.refill_grid();
  chart.update_chart_scrollbar();
  grid.re_size_grid();
  chart.update_chart(static_cast<std::int32_t>(s.log.count()), PageDirection::Backward);
  return chart.page().full_scale.has_value();
}

}  // namespace

std::filesystem::path completed_save_name(const std::filesystem::path& chosen, int filter) {
  if (file_type_of(chosen) != nullptr) return chosen;
  const std::span<const FileType> types = file_types();
  const int last = static_cast<int>(types.size()) - 1;
  std::filesystem::path completed = chosen;
  completed += types[static_cast<std::size_t>(std::clamp(filter, 0, last))].extension;
  return completed;
}

void SAVE_ASClick(TForm1& window) {
  SAVE_ASClick(window, dialog_env(&window));
}

void SAVE_ASClick(TForm1& window, const FileCommandEnv& env) {
  const MeterState& s = window.program().state();
  if (s.log.count() <= 0) {
    env.message(MessageKind::Warning, s.text(kTextNoData));
    return;
  }
  const std::optional<SaveChoice> choice = env.choose_save(&window);
  if (!choice || choice->file.empty()) return;
  const std::filesystem::path file = completed_save_name(choice->file, choice->filter);
  if (save_target_problem(file)) {
    // A device, a pipe or a link at the name stays as it is; the writers
    // refuse it too, this says why in the user's words.
    const QString text = QString::fromStdString(s.text(kTextSaveTargetRefused))
                             .arg(QString::fromStdString(file.filename().string()));
    env.message(MessageKind::Error, text.toStdString());
    return;
  }
  const FileType& type = *file_type_of(file);
  Branch branch = Branch::PictureFailed;
  try {
    branch = save_as(window, file, type, env);
  } catch (const std::exception&) {
    // A failure that escapes a writer (memory, the toolkit) ends the command
    // with the warning of an escaped error; the log is not touched by a save.
  }
  switch (branch) {
    case Branch::Saved:
      // The picture of the chart holds no readings: the log stays where it was kept.
      if (type.writer != FileWriter::Picture) {
        window.program().session_keeper().saved(file);
        window.show_log_name(file);
      }
      env.message(MessageKind::Plain, s.text(kTextSaved));
      break;
    case Branch::Failed:
      env.message(MessageKind::Plain, s.text(kTextSaveFailed));
      break;
    case Branch::PictureFailed:
      env.message(MessageKind::Warning, s.text(kTextNoData));
      break;
  }
}

void MMU_OpenClick(TForm1& window) {
  MMU_OpenClick(window, dialog_env(&window));
}

void MMU_OpenClick(TForm1& window, const FileCommandEnv& env) {
  const std::optional<std::filesystem::path> file = env.choose_open(&window);
  if (!file || file->empty()) return;
  open_log_file(window, *file, env);
}

bool open_log_file(TForm1& window, const std::filesystem::path& file, const FileCommandEnv& env) {
  MeterState& s = window.program().state();
  std::optional<OpenedLog> loaded;
  try {
    WorkProgress progress(&window, work_label(file), window.tick_timer());
    loaded = OpenLogFile(file, s.DecimalSeparator, progress.callback());
    // The log changes only here, once the whole file is in memory.
    if (loaded) s.log = std::move(loaded->log);
  } catch (const std::exception&) {
    loaded.reset();
  }
  if (!loaded) {
    env.message(MessageKind::Warning, s.text(kTextWrongFormat));
    return false;
  }
  SessionKeeper& sessions = window.program().session_keeper();
  if (loaded->from_session) {
    sessions.adopt(file);
  } else {
    sessions.forget();
  }
  // The notes and excursions of the log before are not this one's.
  window.show_log_marks(session_marks(s.log, loaded->events));
  if (!show_loaded_log(window)) {
    env.message(MessageKind::Warning, s.text(kTextWrongFormat));
    return false;
  }
  window.log_loaded();
  window.show_log_name(file);
  return true;
}

void mmu_sessionsClick(TForm1& window, const FileCommandEnv& env) {
  const std::optional<std::filesystem::path> file = env.choose_session(&window);
  if (file && !file->empty()) open_log_file(window, *file, env);
}

RecoveryBar* offer_session_recovery(TForm1& window, const FileCommandEnv& env) {
  const std::vector<SessionSummary> list =
      list_sessions(window.program().session_keeper().folder());
  if (list.empty()) return nullptr;
  const SessionSummary& newest = list.front();
  if (newest.state != SessionState::Unfinished || newest.readings == 0 ||
      session_in_use(newest.path)) {
    return nullptr;
  }
  const MeterState& s = window.program().state();
  const auto text = [&s, newest] {
    return QString::fromStdString(s.text(kTextRecoveryBar))
        .arg(session_moment_text(newest.header.started), QString::number(newest.readings),
             newest.last_reading ? session_moment_text(*newest.last_reading) : QString());
  };
  const auto word = [&s](int n) { return QString::fromStdString(s.text(n)); };
  auto* bar = new RecoveryBar(window.trend_chart(), text(), word(kTextOpenSession),
                              word(kTextDismiss), newest.path);
  for (QAction* language : window.language_menu()->actions()) {
    QObject::connect(language, &QAction::triggered, bar, [bar, text, word] {
      bar->set_texts(text(), word(kTextOpenSession), word(kTextDismiss));
    });
  }
  // Open is there when File > Open is: never while an acquisition runs.
  if (QAction* open = window.findChild<QAction*>(QStringLiteral("MMU_Open"))) {
    bar->open_button()->setEnabled(open->isEnabled());
    QObject::connect(open, &QAction::changed, bar,
                     [bar, open] { bar->open_button()->setEnabled(open->isEnabled()); });
  }
  QObject::connect(bar, &RecoveryBar::open_chosen, bar,
                   [&window, env, bar](const std::filesystem::path& file) {
                     if (open_log_file(window, file, env)) bar->close();
                   });
  apply_control_hints(*bar, s);
  bar->show();
  return bar;
}

}  // namespace tarvo
