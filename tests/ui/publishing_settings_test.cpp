// Settings > Publishing in the window: what the dialog takes, what the
// settings file keeps of it, and the publisher that the next Start makes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "main_window.h"
#include "publishing_dialog.h"
#include "test_broker.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;
using testing::TestBroker;

struct Fields {
  const char* broker = "";
  const char* prefix = "";
  const char* influx = "";
  const char* database = "";
  const char* org = "";
  const char* bucket = "";
};

void fill(QWidget& dialog, const Fields& f) {
  named<QLineEdit>(dialog, "PublishBroker")->setText(f.broker);
  named<QLineEdit>(dialog, "PublishPrefix")->setText(f.prefix);
  named<QLineEdit>(dialog, "InfluxUrl")->setText(f.influx);
  named<QLineEdit>(dialog, "InfluxDatabase")->setText(f.database);
  named<QLineEdit>(dialog, "InfluxOrg")->setText(f.org);
  named<QLineEdit>(dialog, "InfluxBucket")->setText(f.bucket);
}

class PublishingSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_.settings().use_file(dir_.filePath("tarvo.conf"));
    window_ = std::make_unique<TForm1>(program_);
    window_->set_message_presenter([](MessageKind, const std::string&) {});
    window_->set_timing({1, 1});
    window_->show();
    QCoreApplication::processEvents();
    named<QAction>(*window_, "lan_01")->trigger();
  }
  void TearDown() override { window_.reset(); }

  // Settings > Publishing, filled in and confirmed.
  void choose(const Fields& f, const char* user, const char* password) {
    QTimer::singleShot(0, window_.get(), [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      fill(*dialog, f);
      named<QLineEdit>(*dialog, "PublishUser")->setText(user);
      named<QLineEdit>(*dialog, "PublishPassword")->setText(password);
      named<QCheckBox>(*dialog, "PublishDiscovery")->setChecked(true);
      named<QPushButton>(*dialog, "btn_OK")->click();
    });
    named<QAction>(*window_, "mmu_publishing")->trigger();
  }
  QLabel* broker_field() const { return window_->findChild<QLabel*>("StatusBar1_broker"); }

  QTemporaryDir dir_;
  Program program_;
  std::unique_ptr<TForm1> window_;
};

TEST_F(PublishingSettings, DialogSaysWhatKeepsTheSettingsFromUse) {
  const MeterState& s = program_.state();
  struct Case {
    Fields fields;
    PublishSettingsProblem problem;
  };
  const Case cases[] = {
      {{"mqtt://broker.lab", "lab"}, PublishSettingsProblem::BrokerAddress},
      {{"broker.lab:99999", "lab"}, PublishSettingsProblem::BrokerAddress},
      {{"broker.lab", "  "}, PublishSettingsProblem::PrefixMissing},
      {{"broker.lab", "lab/#"}, PublishSettingsProblem::PrefixRefused},
      {{"", "", "influx.lab"}, PublishSettingsProblem::InfluxUrl},
      {{"", "", "http://influx.lab", "", "lab"}, PublishSettingsProblem::InfluxWhere},
  };
  for (const Case& c : cases) {
    PublishingDialog dialog(window_.get(), s, {}, SecretStore::Keychain::Missing);
    fill(dialog, c.fields);
    dialog.take();
    EXPECT_FALSE(dialog.choice()) << c.fields.broker;
    const QString said = named<QLabel>(dialog, "PublishingError")->text();
    EXPECT_EQ(said.toStdString(), publishing_problem_text(s, c.problem));
    EXPECT_FALSE(said.isEmpty());
  }
  PublishingDialog dialog(window_.get(), s, {}, SecretStore::Keychain::Missing);
  fill(dialog, {" broker.lab:1884 ", " lab/bench1 ", "https://influx.lab", "", "lab", "bench"});
  dialog.take();
  ASSERT_TRUE(dialog.choice());
  EXPECT_EQ(dialog.choice()->settings.broker, "broker.lab:1884");
  EXPECT_EQ(dialog.choice()->settings.prefix, "lab/bench1");
  EXPECT_EQ(dialog.choice()->settings.influx_bucket, "bench");
  EXPECT_EQ(named<QLabel>(dialog, "PublishingKeychain")->text().toStdString(),
            s.text(kTextPublishingNoKeychain));
}

TEST_F(PublishingSettings, KeptWithoutThePasswordAndUsedAtTheNextStart) {
  if (!TestBroker::available()) GTEST_SKIP() << "mosquitto is not installed";
  TestBroker broker;
  const std::string address = "127.0.0.1:" + std::to_string(broker.port());
  choose({address.c_str(), "lab/bench1"}, "ann", "pa55-word");

  QFile file(dir_.filePath("tarvo.conf"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray kept = file.readAll();
  EXPECT_TRUE(kept.contains(address.c_str())) << kept.toStdString();
  EXPECT_TRUE(kept.contains("lab/bench1"));
  EXPECT_FALSE(kept.contains("pa55-word"));
  EXPECT_EQ(broker_field(), nullptr);  // not before Start

  window_->Btn_StartClick();  // no meter: publishing starts all the same
  QLabel* field = broker_field();
  ASSERT_NE(field, nullptr);
  QElapsedTimer waited;
  waited.start();
  while (field->text() != "Broker: online" && waited.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  EXPECT_EQ(field->text(), "Broker: online");

  window_->Btn_StartClick();  // unchanged settings: the same publisher goes on
  EXPECT_EQ(broker_field(), field);
  choose({}, "", "");  // no broker any more
  window_->Btn_StartClick();
  QCoreApplication::processEvents();
  EXPECT_EQ(broker_field(), nullptr);
}

// The settings' InfluxDB is written to from the next Start, with its own
// field in the status bar, and goes when the settings no longer name it.
TEST_F(PublishingSettings, InfluxDatabaseOfTheSettingsAtTheNextStart) {
  Fields f;
  f.influx = "http://127.0.0.1:9";  // nothing answers there: the readings wait
  f.database = "bench";
  choose(f, "", "");
  const auto influx_field = [&] { return window_->findChild<QLabel*>("StatusBar1_influx"); };
  EXPECT_EQ(influx_field(), nullptr);
  window_->Btn_StartClick();
  ASSERT_NE(influx_field(), nullptr);
  EXPECT_TRUE(influx_field()->text().startsWith("InfluxDB: "))
      << influx_field()->text().toStdString();
  InfluxWriter* writer = program_.recording().influx_writer();
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(writer->target().write_url(), "http://127.0.0.1:9/write?db=bench&precision=ns");
  EXPECT_EQ(broker_field(), nullptr);  // no broker named: InfluxDB alone
  choose({}, "", "");
  window_->Btn_StartClick();
  QCoreApplication::processEvents();
  EXPECT_EQ(influx_field(), nullptr);
}

TEST_F(PublishingSettings, MenuItemFollowsTheLanguage) {
  const std::pair<const char*, const char*> cases[] = {
      {"lan_01", "&Publishing..."}, {"lan_02", "发布(&P)..."}, {"lan_04", "&Veröffentlichen..."}};
  for (const auto& [item, caption] : cases) {
    named<QAction>(*window_, item)->trigger();
    EXPECT_EQ(named<QAction>(*window_, "mmu_publishing")->text(), QString::fromUtf8(caption));
  }
}

TEST_F(PublishingSettings, CommandLinePublishingWins) {
  choose({"127.0.0.1:1", "lab"}, "", "");
  window_->publish_from_command_line();
  window_->Btn_StartClick();
  EXPECT_EQ(broker_field(), nullptr);
}

}  // namespace
}  // namespace tarvo
