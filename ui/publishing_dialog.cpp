#include "publishing_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "control_hints.h"
#include "dialog_rows.h"
#include "i18n/text_numbers.h"
#include "link/meter_state.h"
#include "window_placement.h"

namespace tarvo {

namespace {

QString text_of(const MeterState& s, int n) {
  return QString::fromStdString(s.text(n));
}

std::string trimmed(const QLineEdit* edit) {
  return edit->text().trimmed().toStdString();
}

QCheckBox* check_box(const MeterState& s, const char* name, int caption, bool checked) {
  auto* box = new QCheckBox(text_of(s, caption));
  box->setObjectName(QLatin1String(name));
  box->setChecked(checked);
  return box;
}

QLabel* note(const QString& text, const char* name) {
  auto* label = new QLabel(text);
  label->setObjectName(QLatin1String(name));
  label->setWordWrap(true);
  return label;
}

}  // namespace

std::string publishing_problem_text(const MeterState& s, PublishSettingsProblem problem) {
  if (problem == PublishSettingsProblem::None) return {};
  return s.text(kTextPublishingBadBroker + static_cast<int>(problem) -
                static_cast<int>(PublishSettingsProblem::BrokerAddress));
}

QLineEdit* PublishingDialog::field(const char* name, const std::string& text) {
  auto* edit = new QLineEdit(QString::fromStdString(text));
  edit->setObjectName(QLatin1String(name));
  edit->setMinimumWidth(280);
  return edit;
}

PublishingDialog::PublishingDialog(QWidget* parent, const MeterState& s,
                                   const PublishingChoice& current, SecretStore::Keychain keychain)
    : QDialog(parent), s_(s) {
  const PublishSettings& p = current.settings;
  setObjectName(QStringLiteral("dlgPublishing"));
  setWindowTitle(text_of(s, kTextPublishingTitle));
  auto* layout = new QVBoxLayout(this);

  auto* mqtt = new QGroupBox(text_of(s, kTextPublishingBroker));
  auto* mqtt_form = new QFormLayout(mqtt);
  broker_ = field("PublishBroker", p.broker);
  tls_ = check_box(s, "PublishTls", kTextPublishingBroker + 2, p.tls);
  user_ = field("PublishUser", p.user);
  password_ = field("PublishPassword", current.password);
  password_->setEchoMode(QLineEdit::Password);
  prefix_ = field("PublishPrefix", p.prefix);
  discovery_ = check_box(s, "PublishDiscovery", kTextPublishingBroker + 6, p.discovery);
  mqtt_form->addRow(text_of(s, kTextPublishingBroker + 1), broker_);
  mqtt_form->addRow(tls_);
  mqtt_form->addRow(text_of(s, kTextPublishingBroker + 3), user_);
  mqtt_form->addRow(text_of(s, kTextPublishingBroker + 4), password_);
  mqtt_form->addRow(text_of(s, kTextPublishingBroker + 5), prefix_);
  mqtt_form->addRow(discovery_);
  layout->addWidget(mqtt);

  auto* influx = new QGroupBox(text_of(s, kTextPublishingInflux));
  auto* influx_form = new QFormLayout(influx);
  influx_ = field("InfluxUrl", p.influx);
  database_ = field("InfluxDatabase", p.influx_db);
  org_ = field("InfluxOrg", p.influx_org);
  bucket_ = field("InfluxBucket", p.influx_bucket);
  token_ = field("InfluxToken", current.token);
  token_->setEchoMode(QLineEdit::Password);
  QLineEdit* const influx_fields[] = {influx_, database_, org_, bucket_, token_};
  int caption = kTextPublishingInflux;  // each field's caption follows the group's title
  for (QLineEdit* edit : influx_fields) influx_form->addRow(text_of(s, ++caption), edit);
  layout->addWidget(influx);

  layout->addWidget(note(text_of(s, kTextPublishingAtStart), "PublishingAtStart"));
  layout->addWidget(
      note(text_of(s, keychain == SecretStore::Keychain::Missing ? kTextPublishingNoKeychain
                                                                 : kTextPublishingKeychain),
           "PublishingKeychain"));
  error_ = note(QString(), "PublishingError");
  error_->setStyleSheet(QStringLiteral("color: #b00000"));
  layout->addWidget(error_);

  QDialogButtonBox* buttons = make_ok_cancel(*this, s);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &PublishingDialog::take);
  apply_control_hints(*this, s);
}

PublishingChoice PublishingDialog::from_fields() const {
  PublishingChoice c;
  c.settings = {trimmed(broker_),   tls_->isChecked(),       trimmed(user_),
                trimmed(prefix_),   discovery_->isChecked(), trimmed(influx_),
                trimmed(database_), trimmed(org_),           trimmed(bucket_)};
  c.password = password_->text().toStdString();
  c.token = token_->text().toStdString();
  return c;
}

void PublishingDialog::take() {
  PublishingChoice c = from_fields();
  const PublishSettingsProblem problem = publish_settings_problem(c.settings);
  if (problem != PublishSettingsProblem::None) {
    error_->setText(QString::fromStdString(publishing_problem_text(s_, problem)));
    return;
  }
  choice_ = std::move(c);
  accept();
}

std::optional<PublishingChoice> run_publishing_dialog(QWidget* parent, const MeterState& s,
                                                      const PublishingChoice& current,
                                                      SecretStore::Keychain keychain) {
  PublishingDialog dialog(parent, s, current, keychain);
  dialog.adjustSize();
  place_beside_parent(dialog);
  dialog.exec();
  return dialog.choice();
}

}  // namespace tarvo
