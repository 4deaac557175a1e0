#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "files/user_settings.h"
#include "publish/publish_settings.h"
#include "secret_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tarvo {

struct MeterState;

struct PublishingChoice {
  PublishSettings settings;
  std::string password, token;  // empty for none
};

// The dialog's words for what keeps the settings from use; empty for None.
std::string publishing_problem_text(const MeterState& s, PublishSettingsProblem problem);

// Settings > Publishing: the broker, its user and password, TLS, the topic
// prefix, Home Assistant discovery and InfluxDB. OK takes only settings a
// Start can use, and says what is wrong otherwise.
class PublishingDialog : public QDialog {
  Q_OBJECT

 public:
  PublishingDialog(QWidget* parent, const MeterState& s, const PublishingChoice& current,
                   SecretStore::Keychain keychain);
  // What OK took; nullopt before that.
  const std::optional<PublishingChoice>& choice() const { return choice_; }
  // OK: takes the fields when they make usable settings.
  void take();

 private:
  QLineEdit* field(const char* name, const std::string& text);
  PublishingChoice from_fields() const;

  const MeterState& s_;
  QLineEdit *broker_, *user_, *password_, *prefix_;
  QLineEdit *influx_, *database_, *org_, *bucket_, *token_;
  QCheckBox *tls_, *discovery_;
  QLabel* error_;
  std::optional<PublishingChoice> choice_;
};

std::optional<PublishingChoice> run_publishing_dialog(QWidget* parent, const MeterState& s,
                                                      const PublishingChoice& current,
                                                      SecretStore::Keychain keychain);

}  // namespace tarvo
