#include "file_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImageReader>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data_grid.h"
#include "display_test_log.h"
#include "files/session_file.h"
#include "files/text_log.h"
#include "main_window.h"
#include "odd_inputs.h"
#include "sheet_test_log.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::read_bytes;
using sheet_test::TempFolder;
using test::named;

struct Shown {
  MessageKind kind;
  std::string text;

  friend bool operator==(const Shown&, const Shown&) = default;
};

void PrintTo(const Shown& m, std::ostream* os) {
  *os << static_cast<int>(m.kind) << " \"" << m.text << "\"";
}

const Shown kSaved{MessageKind::Plain, "File save OK !"};
const Shown kSaveFailed{MessageKind::Plain, "File save fail !"};
const Shown kNoDataWarning{MessageKind::Warning, "No Any data !"};
const Shown kNoDataError{MessageKind::Error, "No Any data !"};
const Shown kWrongFormat{MessageKind::Warning, "Wrong file format!"};

// The main window in English with scripted dialogs: each command takes the
// next answer, and every message is recorded instead of shown.
class FileCommands : public ::testing::Test {
 protected:
  FileCommands() {
    window_ = std::make_unique<TForm1>(program_);
    window_->show();
    state().LanguageBase = LanguageTable::kEnglish;
    state().DecimalSeparator = ".";
    env_.choose_save = [this](QWidget*) {
      ++dialogs_;
      return save_answer_;
    };
    env_.choose_open = [this](QWidget*) {
      ++dialogs_;
      return open_answer_;
    };
    env_.message = [this](MessageKind kind, const std::string& text) {
      shown_.push_back({kind, text});
    };
  }

  MeterState& state() { return program_.state(); }
  void load(ReadingLog log) { state().log = std::move(log); }
  void save_as(const fs::path& file, int filter = 0) {
    save_answer_ = SaveChoice{file, filter};
    SAVE_ASClick(*window_, env_);
  }
  void open(const fs::path& file) {
    open_answer_ = file;
    MMU_OpenClick(*window_, env_);
  }
  QPushButton& reset_button() { return *named<QPushButton>(*window_, "Btn_Reset"); }
  TrendChart& chart() { return *window_->trend_chart(); }

  Program program_;
  std::unique_ptr<TForm1> window_;
  FileCommandEnv env_;
  std::optional<SaveChoice> save_answer_;
  std::optional<fs::path> open_answer_;
  int dialogs_ = 0;
  std::vector<Shown> shown_;
  TempFolder folder_;
};

struct NameCase {
  const char* chosen;
  int filter;
  const char* written;
  std::optional<FileFormat> type;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.chosen << " filter " << c.filter;
}

class SaveName : public ::testing::TestWithParam<NameCase> {};

TEST_P(SaveName, KnownExtensionsStandOthersGetTheSelectedOne) {
  const fs::path written = completed_save_name(GetParam().chosen, GetParam().filter);
  EXPECT_EQ(written, fs::path(GetParam().written));
  EXPECT_EQ(file_format_of(written), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveName,
    ::testing::Values(NameCase{"/d/log.txt", 4, "/d/log.txt", FileFormat::Text},
                      NameCase{"/d/LOG.Xlsx", 0, "/d/LOG.Xlsx", FileFormat::Xlsx},
                      NameCase{"/d/a.tar.PNG", 0, "/d/a.tar.PNG", FileFormat::Png},
                      NameCase{"/d/.csv", 0, "/d/.csv", FileFormat::Csv},
                      NameCase{"/d/report", 4, "/d/report.jpg", FileFormat::Jpeg},
                      NameCase{"/d/report", 5, "/d/report.bmp", FileFormat::Bmp},
                      NameCase{"/d/log.dat", 0, "/d/log.dat.txt", FileFormat::Text},
                      NameCase{"/d/chart.jpeg", 6, "/d/chart.jpeg.png", FileFormat::Png},
                      NameCase{"/d.xls/log", 1, "/d.xls/log.xls", FileFormat::Xls},
                      NameCase{"/d/log.", 3, "/d/log..csv", FileFormat::Csv},
                      NameCase{"/d/log", 99, "/d/log.png", FileFormat::Png}));

TEST_F(FileCommands, SaveAsWithAnEmptyLogWarnsBeforeAnyDialog) {
  save_as(folder_ / "chart.jpg");
  EXPECT_EQ(dialogs_, 0);
  EXPECT_EQ(shown_, std::vector<Shown>{kNoDataWarning});
  EXPECT_EQ(folder_.entries(), 0u);
}

TEST_F(FileCommands, CancelledSaveAsSaysNothing) {
  load(one_run_log(3));
  SAVE_ASClick(*window_, env_);
  EXPECT_EQ(dialogs_, 1);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(FileCommands, ResultIsShownInTheCurrentLanguage) {
  load(one_run_log(3));
  state().LanguageBase = LanguageTable::kGerman;
  save_as(folder_ / "log.txt");
  EXPECT_EQ(shown_, (std::vector<Shown>{{MessageKind::Plain, "Datei gespeichert!"}}));
}

struct TypeCase {
  const char* name;
  const char* file;
  std::string signature;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << c.name;
}

const TypeCase kTypes[] = {
    {"Text", "log.txt", "3\r\n1\t"},       {"Xls", "log.xls", "\xD0\xCF\x11\xE0"},
    {"Xlsx", "log.xlsx", "PK\x03\x04"},    {"Csv", "log.csv", "\xEF\xBB\xBFIndex,"},
    {"Jpeg", "chart.jpg", "\xFF\xD8\xFF"}, {"Bmp", "chart.bmp", "BM"},
    {"Png", "chart.png", "\x89PNG"},       {"UpperCase", "LOG.TXT", "3\r\n1\t"},
};

class SaveType_ : public FileCommands, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(SaveType_, WritesTheFileOfItsExtensionAndSaysSo) {
  load(one_run_log(3));
  save_as(folder_ / GetParam().file);
  EXPECT_EQ(shown_, std::vector<Shown>{kSaved});
  const std::string bytes = read_bytes(folder_ / GetParam().file);
  EXPECT_EQ(bytes.substr(0, GetParam().signature.size()), GetParam().signature);
  EXPECT_EQ(folder_.entries(), 1u);
}

// Each kind of file fails in its own words. The target lies under a plain file
// so that no folder can be made there, whoever runs the test.
struct FailureCase {
  const char* name;
  const char* file;
  std::vector<Shown> shown;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveFailure : public FileCommands, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveFailure, ShowsItsMessagesAndLeavesTheWindowUsable) {
  load(one_run_log(3));
  chart().update_chart(3, PageDirection::Backward);
  const QSize chart_size = chart().size();
  std::ofstream(folder_ / "plain") << "a file, not a folder";
  save_as(folder_ / "plain" / GetParam().file);
  EXPECT_EQ(shown_, GetParam().shown);
  EXPECT_TRUE(window_->isEnabled());
  EXPECT_EQ(chart().size(), chart_size);
  EXPECT_EQ(folder_.entries(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SaveFailure,
    ::testing::Values(FailureCase{"Text", "log.txt", {kNoDataError, kSaveFailed}},
                      FailureCase{"Xls", "log.xls", {kSaveFailed}},
                      FailureCase{"Xlsx", "log.xlsx", {kSaveFailed}},
                      FailureCase{"Csv", "log.csv", {kSaveFailed}},
                      FailureCase{"Jpeg", "chart.jpg", {kNoDataWarning}},
                      FailureCase{"Bmp", "chart.bmp", {kNoDataWarning}},
                      FailureCase{"Png", "chart.png", {kNoDataWarning}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Types, SaveType_, ::testing::ValuesIn(kTypes),
                         [](const ::testing::TestParamInfo<TypeCase>& info) {
                           return std::string(info.param.name);
                         });

// A pipe, a link planted in the folder, a link to a device: Save As names
// the problem once and leaves each exactly as it was, whatever the type.
TEST_F(FileCommands, TargetThatIsNoRegularFileIsRefusedAndLeftAsItIs) {
  load(one_run_log(3));
  std::ofstream(folder_ / "precious") << "the user's own";
  for (const char* type : {".txt", ".xlsx", ".png"}) {
    SCOPED_TRACE(type);
    const fs::path fifo = folder_ / (std::string("pipe") + type);
    const fs::path planted = folder_ / (std::string("planted") + type);
    const fs::path null = folder_ / (std::string("null") + type);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(folder_ / "precious", planted);
    fs::create_symlink("/dev/null", null);
    for (const fs::path& target : {fifo, planted, null}) {
      shown_.clear();
      save_as(target);
      const std::string text = "Not saved: " + target.filename().string() +
                               " is not a regular file (a device, a pipe, a folder or a link) "
                               "and was left as it is.";
      EXPECT_EQ(shown_, (std::vector<Shown>{{MessageKind::Error, text}}));
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(fs::read_symlink(planted), folder_ / "precious");
    EXPECT_EQ(fs::read_symlink(null), "/dev/null");
  }
  EXPECT_EQ(read_bytes(folder_ / "precious"), "the user's own");
  EXPECT_EQ(folder_.entries(), 10u);
}

TEST_F(FileCommands, JpegIsTheReportSizeWhateverTheWindowSize) {
  load(one_run_log(250));
  for (const QSize size : {QSize(1080, 600), QSize(1600, 1000)}) {
    window_->resize(size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->size() == size; }));
    const QSize chart_size = chart().size();
    save_as(folder_ / "chart.jpg");
    EXPECT_EQ(QImageReader(QString::fromStdString((folder_ / "chart.jpg").string())).size(),
              QSize(1910, 1080));
    EXPECT_EQ(chart().size(), chart_size);
    save_as(folder_ / "chart.bmp");
    EXPECT_EQ(QImageReader(QString::fromStdString((folder_ / "chart.bmp").string())).size(),
              chart_size);
  }
  EXPECT_EQ(shown_, std::vector<Shown>(4, kSaved));
}

TEST_F(FileCommands, NameWithoutAKnownExtensionTakesTheSelectedType) {
  load(one_run_log(3));
  save_as(folder_ / "report", 4);
  EXPECT_EQ(read_bytes(folder_ / "report.jpg").substr(0, 2), "\xFF\xD8");
  save_as(folder_ / "log.dat", 0);
  EXPECT_EQ(read_bytes(folder_ / "log.dat.txt"), TextLogBytes(state().log));
  EXPECT_EQ(folder_.entries(), 2u);
  EXPECT_EQ(shown_, std::vector<Shown>(2, kSaved));
}

TEST_F(FileCommands, OpenReplacesTheLogAndShowsIt) {
  ASSERT_TRUE(SaveTextLog(one_run_log(250, "ACV AUTO 50.000 V"), folder_ / "log.txt"));
  load(one_run_log(2));
  ASSERT_FALSE(reset_button().isEnabled());
  open(folder_ / "log.txt");
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(state().log.count(), 250);
  EXPECT_EQ(state().log[250].Main_Range.view(), "ACV AUTO 50.000 V");
  EXPECT_TRUE(reset_button().isEnabled());
  EXPECT_EQ(chart().page().bounds, (PageBounds{51, 250}));
  EXPECT_EQ(chart().scroll_params(), (ScrollParams{250, 200, 250, 1}));
  const DataGrid& grid = *window_->data_grid();
  EXPECT_EQ(test::index_in_row(grid, grid.RowCount() - 1), 250);
}

struct BadFileCase {
  const char* name;
  std::string bytes;
};

void PrintTo(const BadFileCase& c, std::ostream* os) {
  *os << c.name;
}

class OpenRefused : public FileCommands, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(OpenRefused, LeavesTheLogAndTheWindowAsTheyWere) {
  load(one_run_log(5));
  const std::string path = (folder_ / "bad.txt").string();
  std::ofstream(path, std::ios::binary) << GetParam().bytes;
  open(path);
  EXPECT_EQ(shown_, std::vector<Shown>{kWrongFormat});
  EXPECT_EQ(state().log.count(), 5);
  EXPECT_FALSE(reset_button().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenRefused,
    ::testing::Values(
        BadFileCase{"Empty", ""},
        BadFileCase{"CountAboveLines", "3\r\n1\t10:00:01\t1.0\tDCV AUTO 5.0000 V\t\t\t\r\n"},
        BadFileCase{"MainNumberNotANumber", "1\r\n1\t10:00:01\tabc\tDCV AUTO 5.0000 V\t\t\t\r\n"},
        BadFileCase{"OtherSeparator", "1\r\n1\t10:00:01\t1,5\tDCV AUTO 5.0000 V\t\t\t\r\n"}),
    [](const ::testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });

class OpenOddInput : public FileCommands, public ::testing::WithParamInterface<odd_input::Case> {};

// A device, a FIFO or a huge sparse file must neither end the program nor
// take the log that is already there.
TEST_P(OpenOddInput, LeavesTheLogAsItWas) {
  load(one_run_log(5));
  open(odd_input::make(GetParam().kind, folder_ / ""));
  EXPECT_EQ(shown_, std::vector<Shown>{kWrongFormat});
  EXPECT_EQ(state().log.count(), 5);
  EXPECT_FALSE(reset_button().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Inputs, OpenOddInput, ::testing::ValuesIn(odd_input::kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommands, MissingFileIsAWrongFormat) {
  open(folder_ / "missing.txt");
  EXPECT_EQ(shown_, std::vector<Shown>{kWrongFormat});
}

// A range of 0 passes the reader's checks but gives the chart no scale: the
// log is replaced and the grid shows it, Reset stays as it was.
TEST_F(FileCommands, PageTheChartCannotDrawIsAWrongFormatAfterTheLoad) {
  const std::string path = (folder_ / "zero.txt").string();
  std::ofstream(path, std::ios::binary) << "1\r\n1\t10:00:01\t0\tDCV AUTO 0 V\t\t\t\r\n";
  open(path);
  EXPECT_EQ(shown_, std::vector<Shown>{kWrongFormat});
  EXPECT_EQ(state().log.count(), 1);
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 1), 1);
  EXPECT_FALSE(reset_button().isEnabled());
}

// After Reset no meter family is set; the loaded log is drawn all the same,
// or the grid would show it beside an empty chart.
TEST_F(FileCommands, OpenAfterResetStillDrawsTheChart) {
  ASSERT_TRUE(SaveTextLog(one_run_log(20), folder_ / "log.txt"));
  state().model = MeterModel::None;
  open(folder_ / "log.txt");
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(state().log.count(), 20);
  EXPECT_EQ(chart().page().bounds, (PageBounds{1, 20}));
  EXPECT_EQ(chart().page().points.size(), 20u);
  EXPECT_TRUE(reset_button().isEnabled());
}

TEST_F(FileCommands, CancelledOpenSaysNothing) {
  MMU_OpenClick(*window_, env_);
  EXPECT_EQ(dialogs_, 1);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(FileCommands, TextLogSavedAndOpenedGivesTheSameRecords) {
  load(log_of({{"1.2345", "DCV AUTO 5.0000 V"}, {"OL", "OHM MANU 50.000 K\u03A9"}, {"-0.5"}}));
  const ReadingLog saved = state().log;
  save_as(folder_ / "round.txt");
  load(one_run_log(9));
  open(folder_ / "round.txt");
  EXPECT_EQ(shown_, std::vector<Shown>{kSaved});
  ASSERT_EQ(state().log.count(), 3);
  for (std::int64_t n = 1; n <= 3; ++n) EXPECT_EQ(state().log[n], saved[n]) << n;
}

// A session file opened brings its notes and excursions to the chart and
// the overview, and its notes to a .csv saved from it; a text log opened
// after it takes them away, for they belonged to the log before.
TEST_F(FileCommands, ASessionOpenedBringsItsNotesAndExcursions) {
  const auto moment = [](int second) { return LocalTime{2026, 12, 9, 14, 5, second, 0, 60}; };
  std::string text = session_header_text({moment(0), "bench", 1, "."});
  for (int n = 1; n <= 5; ++n) {
    real_Record r = sheet_test::record(n, "14:05:0" + std::to_string(n), n == 3 ? "5.5" : "1.5",
                                       "DCV AUTO 50.000 V");
    r.DateTime = moment(n);
    r.Dated = true;
    text += session_reading_line(r);
    if (n == 2) text += session_event_line(SessionEvent::Note, moment(2), "probe, C12");
  }
  text += session_event_line(SessionEvent::AlarmStart, moment(4),
                             {"high", "5", "V", "2026-12-09T14:05:03+01:00"});
  text += session_event_line(SessionEvent::AlarmEnd, moment(5),
                             {"high", "5.5", "V", "2026-12-09T14:05:03+01:00"});
  std::ofstream(folder_ / "s.tarvo-session", std::ios::binary) << text;

  open(folder_ / "s.tarvo-session");
  ASSERT_TRUE(shown_.empty());
  EXPECT_EQ(window_->notes().notes(), (std::vector<ChartNote>{{2, "probe, C12"}}));
  EXPECT_EQ(window_->excursions().spans(), (std::vector<ReadingSpan>{{3, 4}}));
  save_as(folder_ / "out.csv");
  const std::string csv = read_bytes(folder_ / "out.csv");
  EXPECT_NE(csv.find(",Event,Note\r\n"), std::string::npos);
  EXPECT_NE(csv.find(",\"probe, C12\"\r\n3,"), std::string::npos);

  ASSERT_TRUE(SaveTextLog(one_run_log(3), folder_ / "plain.txt"));
  open(folder_ / "plain.txt");
  EXPECT_TRUE(window_->notes().notes().empty());
  EXPECT_TRUE(window_->excursions().spans().empty());
}

// The title names the log the views hold: the file saved, a picture of the
// chart not, the file opened; Reset leaves a new, nameless log.
TEST_F(FileCommands, TitleNamesTheLogSavedOrOpened) {
  load(log_of({{"1.2345", "DCV AUTO 5.0000 V"}}));
  EXPECT_EQ(window_->windowTitle(), "Tarvo");
  save_as(folder_ / "first.txt");
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("first.txt — Tarvo"));
  save_as(folder_ / "chart.bmp");
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("first.txt — Tarvo"));
  open(folder_ / "missing.txt");
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("first.txt — Tarvo"));
  fs::copy_file(folder_ / "first.txt", folder_ / "second.txt");
  open(folder_ / "second.txt");
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("second.txt — Tarvo"));
  reset_button().click();
  EXPECT_EQ(window_->windowTitle(), "Tarvo");
}

// Progress comes up only past 100,000 records, and the tick timer of a
// running acquisition is held meanwhile and runs again afterwards.
class LongWork : public FileCommands, public ::testing::WithParamInterface<std::int64_t> {
 protected:
  struct Seen {
    bool progress = false;
    bool ticks_held = false;
  };

  // What the window looks like once the command lets the event loop run.
  template <class Command>
  Seen run(QTimer* ticks, Command command) {
    ticks->start();
    Seen seen;
    QTimer::singleShot(0, window_.get(), [&] {
      const auto* dialog = window_->findChild<QProgressDialog*>();
      seen.progress = dialog != nullptr && dialog->isVisible();
      seen.ticks_held = !ticks->isActive();
    });
    command();
    QCoreApplication::processEvents();
    EXPECT_TRUE(ticks->isActive());
    EXPECT_EQ(window_->findChild<QProgressDialog*>(), nullptr);
    ticks->stop();
    return seen;
  }
};

TEST_P(LongWork, ShowsProgressOnlyForALargeLog) {
  const bool large = GetParam() > 100000;
  load(one_run_log(GetParam()));
  window_->set_timing({1000, 3600 * 1000});
  auto* ticks = named<QTimer>(*window_, "Timer_Show");
  for (const char* name : {"long.csv", "long.txt"}) {
    const Seen seen = run(ticks, [&] { save_as(folder_ / name); });
    EXPECT_EQ(seen.progress, large) << name;
    EXPECT_EQ(seen.ticks_held, large) << name;
  }
  const Seen seen = run(ticks, [&] { open(folder_ / "long.txt"); });
  EXPECT_EQ(seen.progress, large);
  EXPECT_EQ(state().log.count(), GetParam());
  EXPECT_EQ(shown_, std::vector<Shown>(2, kSaved));
}

INSTANTIATE_TEST_SUITE_P(Counts, LongWork, ::testing::Values(100000, 100001));

}  // namespace
}  // namespace tarvo
