// Recovery at start-up, File > Sessions and the saves a session notes, with
// scripted dialogs and a state folder of the test's own.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "file_commands.h"
#include "files/session_file.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "main_window.h"
#include "recovery_bar.h"
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
    program_.state().LanguageBase = LanguageTable::kEnglish;
    program_.state().DecimalSeparator = ".";
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

// The offer is a bar that asks nothing: the window goes on while it is shown.
TEST_F(SessionCommands, RecoveryOpensTheCrashedSessionAsOpenWould) {
  const fs::path file = crashed_session();
  RecoveryBar* bar = offer_session_recovery(*window_, env_);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(asked_.empty());
  EXPECT_TRUE(bar->isVisible());
  EXPECT_NE(bar->label()->text().indexOf(
                "started 2026-12-08 22:00:00, 3 readings, last 2026-12-08 22:00:03"),
            -1)
      << bar->label()->text().toStdString();
  EXPECT_EQ(program_.state().log.count(), 0);
  bar->open_button()->click();
  const ReadingLog& log = program_.state().log;
  ASSERT_EQ(log.count(), 3);
  for (std::int64_t n = 1; n <= 3; ++n) EXPECT_EQ(log[n], dated(n));
  EXPECT_TRUE(test::named<QPushButton>(*window_, "Btn_Reset")->isEnabled());
  EXPECT_TRUE(shown_.empty());
  // Seen once, it is no longer a session that ended without a word.
  EXPECT_EQ(state_of(file), SessionState::Stopped);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window_->findChild<RecoveryBar*>(), nullptr);
  EXPECT_EQ(offer_session_recovery(*window_, env_), nullptr);
}

TEST_F(SessionCommands, DismissedRecoveryLeavesTheLogAndTheSession) {
  const fs::path file = crashed_session();
  RecoveryBar* bar = offer_session_recovery(*window_, env_);
  ASSERT_NE(bar, nullptr);
  bar->dismiss_button()->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window_->findChild<RecoveryBar*>(), nullptr);
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(program_.state().log.count(), 0);
  EXPECT_EQ(state_of(file), SessionState::Unfinished);
}

// Open follows File > Open: an acquisition's log is never replaced by it.
TEST_F(SessionCommands, RecoveryBarOpensNothingWhileTheMeterIsRead) {
  crashed_session();
  RecoveryBar* bar = offer_session_recovery(*window_, env_);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->open_button()->isEnabled());
  QAction* open = window_->findChild<QAction*>(QStringLiteral("MMU_Open"));
  open->setEnabled(false);
  EXPECT_FALSE(bar->open_button()->isEnabled());
  open->setEnabled(true);
  EXPECT_TRUE(bar->open_button()->isEnabled());
}

TEST_F(SessionCommands, SaveOfAnOpenedSessionMarksItSavedAndAnotherLogDoesNot) {
  const fs::path session = crashed_session();
  chosen_ = session;
  mmu_sessionsClick(*window_, env_);
  ASSERT_EQ(program_.state().log.count(), 3);
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
