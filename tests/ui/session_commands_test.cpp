// Recovery at start-up, File > Sessions and the saves a session notes, with
// scripted dialogs and a state folder of the test's own.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "file_commands.h"
#include "files/session_file.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "main_window.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// Set before the program exists, which takes its session folder from it.
struct StateFolder {
  StateFolder() { qputenv("XDG_STATE_HOME", dir.path().toLocal8Bit()); }
  fs::path sessions() const { return fs::path(dir.path().toStdString()) / "tarvo" / "sessions"; }
  QTemporaryDir dir;
};

real_Record dated(std::int64_t n) {
  real_Record r;
  r.Index = n;
  r.DateTime = {2026, 12, 8, 22, 0, static_cast<int>(n), 0, 60};
  r.Dated = true;
  r.Time.assign(format_hhnnss(r.DateTime));
  r.Main_No.assign("1.234" + std::to_string(n));
  r.Main_Range.assign("DCV AUTO 5.0000 V");
  return r;
}

class SessionCommands : public ::testing::Test {
 protected:
  SessionCommands() {
    window_ = std::make_unique<TForm1>(program_);
    window_->show();
    program_.session().LanguageBase = LanguageTable::kEnglish;
    program_.session().DecimalSeparator = ".";
    env_.message = [this](MessageKind, const std::string& text) { shown_.push_back(text); };
    env_.ask = [this](const std::string& question) {
      asked_.push_back(question);
      return answer_;
    };
    env_.choose_session = [this](QWidget*) { return chosen_; };
    env_.choose_save = [this](QWidget*) { return save_; };
  }

  // A session a crash cut short: three readings and half of a fourth.
  fs::path crashed_session(const char* name = "20261208-220000.tarvo-session") {
    fs::create_directories(state_.sessions());
    const fs::path file = state_.sessions() / name;
    auto writer = SessionWriter::create(
        file, session_header_text({{2026, 12, 8, 22, 0, 0, 0, 60}, "bench", 1, "."}), nullptr);
    for (int n = 1; n <= 3; ++n) writer->append(session_reading_line(dated(n)));
    writer->append("reading\t4\t2026-12-08T22:");
    return file;
  }
  SessionState state_of(const fs::path& file) { return SummarizeSession(file)->state; }

  StateFolder state_;
  Program program_;
  std::unique_ptr<TForm1> window_;
  FileCommandEnv env_;
  bool answer_ = true;
  std::optional<fs::path> chosen_;
  std::optional<SaveChoice> save_;
  std::vector<std::string> asked_, shown_;
};

TEST_F(SessionCommands, RecoveryOpensTheCrashedSessionAsOpenWould) {
  const fs::path file = crashed_session();
  offer_session_recovery(*window_, env_);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("Started: 2026-12-08 22:00:00\nReadings: 3\nLast reading: "
                           "2026-12-08 22:00:03"),
            std::string::npos)
      << asked_[0];
  const ReadingLog& log = program_.session().log;
  ASSERT_EQ(log.count(), 3);
  for (std::int64_t n = 1; n <= 3; ++n) EXPECT_EQ(log[n], dated(n));
  EXPECT_TRUE(test::named<QPushButton>(*window_, "Btn_Reset")->isEnabled());
  EXPECT_TRUE(shown_.empty());
  // Seen once, it is no longer a session that ended without a word.
  EXPECT_EQ(state_of(file), SessionState::Stopped);
  offer_session_recovery(*window_, env_);
  EXPECT_EQ(asked_.size(), 1u);
}

TEST_F(SessionCommands, DeclinedRecoveryLeavesTheLogAndTheSession) {
  const fs::path file = crashed_session();
  answer_ = false;
  offer_session_recovery(*window_, env_);
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(program_.session().log.count(), 0);
  EXPECT_EQ(state_of(file), SessionState::Unfinished);
}

TEST_F(SessionCommands, SaveOfAnOpenedSessionMarksItSavedAndAnotherLogDoesNot) {
  const fs::path session = crashed_session();
  chosen_ = session;
  mmu_sessionsClick(*window_, env_);
  ASSERT_EQ(program_.session().log.count(), 3);
  QTemporaryDir out;
  save_ = SaveChoice{fs::path(out.path().toStdString()) / "night.txt", 0};
  SAVE_ASClick(*window_, env_);
  EXPECT_EQ(state_of(session), SessionState::Saved);

  const fs::path second = crashed_session("20261209-010000.tarvo-session");
  chosen_ = second;
  mmu_sessionsClick(*window_, env_);
  env_.choose_open = [&](QWidget*) { return std::optional(save_->file); };
  MMU_OpenClick(*window_, env_);  // a text log: the session no longer is the log's
  SAVE_ASClick(*window_, env_);
  EXPECT_EQ(state_of(second), SessionState::Stopped);
}

}  // namespace
}  // namespace tarvo
