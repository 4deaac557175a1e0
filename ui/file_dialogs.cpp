#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

#include <QApplication>
#include <QMessageBox>

#include "file_commands.h"
#include "files/session_store.h"
#include "main_window.h"
#include "session_dialog.h"

namespace tarvo {

namespace {

std::filesystem::path path_of(const QString& name) {
  return std::filesystem::path(QFile::encodeName(name).toStdString());
}

QString latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString name_filter(const FileType& type) {
  const QString lower = latin1(type.extension);
  return QStringLiteral("%1(*%2 *%3)").arg(latin1(type.label), lower.toUpper(), lower);
}

// The save type of a dialog's name filter; the first for an unknown one.
int filter_index(const QStringList& filters, const QString& filter) {
  return static_cast<int>(std::max<qsizetype>(filters.indexOf(filter), 0));
}

// The suffix Qt's dialog adds to a name typed without any, for a type.
QString default_suffix(int filter) {
  return latin1(file_types()[static_cast<std::size_t>(filter)].extension).mid(1);
}

// Qt's own dialog sizes its columns for English texts at its default size,
// which cut the sizes and dates ("435...tes"); a larger dialog whose columns
// follow their contents reads in every language. A native dialog has no such
// children and keeps its own size.
void give_room(QFileDialog& dialog) {
  constexpr QSize kRoom{860, 500};
  dialog.resize(dialog.size().expandedTo(kRoom));
  if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    for (int column = 1; column < header->count(); ++column) {
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
}

// The dialog opens where the last one of its kind ended, with that name.
void start_from(QFileDialog& dialog, const std::string& last) {
  if (last.empty()) return;
  dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(last)));
}

void keep_choice(SettingsStore* settings, std::string UserSettings::*last,
                 const std::filesystem::path& chosen) {
  if (settings == nullptr) return;
  settings->current().*last = chosen.string();
  settings->save();
}

std::optional<SaveChoice> run_save_dialog(QWidget* parent, SettingsStore* settings) {
  const QStringList filters = save_name_filters();
  QFileDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgsave1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The name chosen is the name written: a link is refused by the save, not
  // quietly swapped for the file it points to.
  dialog.setOption(QFileDialog::DontResolveSymlinks);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(default_suffix(0));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, &filters](const QString& filter) {
                     dialog.setDefaultSuffix(default_suffix(filter_index(filters, filter)));
                   });
  give_room(dialog);
  if (settings != nullptr) start_from(dialog, settings->current().save_file);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const int filter = filter_index(filters, dialog.selectedNameFilter());
  SaveChoice choice{path_of(dialog.selectedFiles().constFirst()), filter};
  keep_choice(settings, &UserSettings::save_file, choice.file);
  return choice;
}

std::optional<std::filesystem::path> run_open_dialog(QWidget* parent, SettingsStore* settings) {
  QFileDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgOpen1"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(open_name_filters());
  give_room(dialog);
  if (settings != nullptr) start_from(dialog, settings->current().open_file);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::filesystem::path chosen = path_of(dialog.selectedFiles().constFirst());
  keep_choice(settings, &UserSettings::open_file, chosen);
  return chosen;
}

}  // namespace

QStringList save_name_filters() {
  QStringList filters;
  for (const FileType& type : file_types()) filters << name_filter(type);
  return filters;
}

QStringList open_name_filters() {
  // File > Open reads back what the text log's writer wrote, and sessions.
  const auto text_log = std::ranges::find(file_types(), FileWriter::TextLog, &FileType::writer);
  return {name_filter(*text_log),
          QStringLiteral("Session File(*%1)").arg(QLatin1String(kSessionExtension.data()))};
}

FileCommandEnv dialog_env(QWidget* window) {
  FileCommandEnv env;
  auto* form = qobject_cast<TForm1*>(window);
  SettingsStore* settings = form != nullptr ? &form->program().settings() : nullptr;
  env.choose_save = [settings](QWidget* parent) { return run_save_dialog(parent, settings); };
  env.choose_open = [settings](QWidget* parent) { return run_open_dialog(parent, settings); };
  env.message = [window](MessageKind kind, const std::string& text) {
    show_message_box(window, kind, text);
  };
  env.choose_session = [form](QWidget* parent) -> std::optional<std::filesystem::path> {
    if (form == nullptr) return std::nullopt;
    Program& program = form->program();
    return run_session_dialog(parent, program.state(),
                              list_sessions(program.session_keeper().folder()));
  };
  env.ask = [window](const std::string& question) {
    return QMessageBox::question(window, QApplication::applicationDisplayName(),
                                 QString::fromStdString(question)) == QMessageBox::Yes;
  };
  return env;
}

}  // namespace tarvo
