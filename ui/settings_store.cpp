#include "settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include "link/debug_trace.h"

namespace tarvo {

namespace {

// A list where the file had commas: junk to us, checked as the one text.
std::string text_of(const QVariant& value) {
  if (value.metaType().id() == QMetaType::QStringList) {
    return value.toStringList().join(QLatin1Char(',')).toStdString();
  }
  return value.toString().toStdString();
}

}  // namespace

QString default_settings_file() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QStringLiteral("tarvo/tarvo.conf"));
}

const UserSettings& SettingsStore::load(PortTrace& trace) {
  current_ = {};
  keep_hands_off_ = false;
  trace_ = &trace;
  if (file_.isEmpty()) return current_;
  const QFileInfo info(file_);
  if (!info.exists()) return current_;
  const std::string where = file_.toStdString();
  if (!info.isFile() || !info.isReadable()) {
    trace.note("Settings file ignored, it cannot be read: " + where);
    return current_;
  }
  QSettings file(file_, QSettings::IniFormat);
  if (file.status() != QSettings::NoError) {
    trace.note("Settings file ignored, it is not a settings file: " + where);
    return current_;
  }
  SettingsValues values;
  for (const QString& key : file.allKeys()) values[key.toStdString()] = text_of(file.value(key));
  SettingsRead read = read_user_settings(values);
  if (!read.ignored.empty()) {
    trace.note("Settings file ignored, " + read.ignored + ": " + where);
  }
  keep_hands_off_ = read.newer;
  current_ = std::move(read.settings);
  return current_;
}

void SettingsStore::save() {
  if (file_.isEmpty() || keep_hands_off_) return;
  QDir().mkpath(QFileInfo(file_).absolutePath());
  QSettings file(file_, QSettings::IniFormat);
  file.clear();
  for (const auto& [key, value] : settings_values(current_)) {
    file.setValue(QString::fromStdString(key), QString::fromStdString(value));
  }
  file.sync();
  const bool failed = file.status() != QSettings::NoError;
  if (failed && !write_failed_ && trace_ != nullptr) {
    trace_->note("Settings file not written: " + file_.toStdString());
  }
  write_failed_ = failed;
}

void SettingsStore::reset() {
  current_ = {};
  keep_hands_off_ = false;
  if (!file_.isEmpty()) QFile::remove(file_);
}

}  // namespace tarvo
