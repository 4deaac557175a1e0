#pragma once

#include <QString>

#include "files/user_settings.h"

namespace tarvo {

class PortTrace;

// ~/.config/tarvo/tarvo.conf, or tarvo/tarvo.conf under XDG_CONFIG_HOME.
QString default_settings_file();

// The settings file of the desktop program and what it holds during a run.
// Without a file (tests, and before main() names one) nothing is read or
// written and every run starts as the first.
class SettingsStore {
 public:
  void use_file(const QString& file) { file_ = file; }
  const QString& file() const { return file_; }

  // Reads the file once at start-up. A file that cannot be used leaves the
  // first-start settings and one line in the trace.
  const UserSettings& load(PortTrace& trace);
  UserSettings& current() { return current_; }
  const UserSettings& current() const { return current_; }
  // Writes current() over the file; nothing when the file is a later
  // version's, which this program must not spoil. A file that cannot be
  // written is said once in the trace.
  void save();
  // Forgets everything: the next start is as the first.
  void reset();

 private:
  QString file_;
  PortTrace* trace_ = nullptr;  // the one given to load()
  bool write_failed_ = false;   // said once in the trace, not at every change
  UserSettings current_;
  bool keep_hands_off_ = false;
};

}  // namespace tarvo
