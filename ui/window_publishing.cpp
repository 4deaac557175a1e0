// Publishing as Settings > Publishing keeps it: the dialog, and the publisher
// it makes at Start. --publish on the command line publishes instead.
#include "broker_status.h"
#include "debug_window.h"
#include "main_window.h"
#include "publish/publish_settings.h"
#include "publishing_dialog.h"
#include "secret_store.h"

namespace tarvo {

void TForm1::use_keychain() {
  delete secrets_;
  secrets_ = new SecretStore(true, this);
  secrets_->load();
}

void TForm1::mmu_publishingClick() {
  SettingsStore& store = program_.settings();
  const PublishingChoice current{store.current().publishing,
                                 secrets_->get(SecretStore::Secret::BrokerPassword).value_or(""),
                                 secrets_->get(SecretStore::Secret::InfluxToken).value_or("")};
  const std::optional<PublishingChoice> chosen =
      run_publishing_dialog(this, program_.state(), current, secrets_->keychain());
  if (!chosen) return;
  secrets_->set(SecretStore::Secret::BrokerPassword, chosen->password);
  secrets_->set(SecretStore::Secret::InfluxToken, chosen->token);
  store.current().publishing = chosen->settings;
  store.save();
}

void TForm1::apply_publishing_settings() {
  if (command_line_publishing_) return;
  apply_influx_settings();
  const std::optional<PublishTarget> target = publish_target_of(
      program_.settings().current().publishing, secrets_->get(SecretStore::Secret::BrokerPassword));
  const bool running = settings_publishing_ != nullptr;
  if (running && target && settings_publishing_->publisher().target() == *target) return;
  if (!running && !target) return;
  settings_publishing_.reset();
  if (target) settings_publishing_ = std::make_unique<WindowPublishing>(*this, *target);
}

// InfluxDB as the settings name it, made anew only when they changed; a
// server the settings cannot name is said in the debug trace.
void TForm1::apply_influx_settings() {
  std::string why;
  const std::optional<InfluxTarget> target =
      influx_target_of(program_.settings().current().publishing,
                       secrets_->get(SecretStore::Secret::InfluxToken), why);
  if (!why.empty()) debug_window_->add_line("InfluxDB: " + why);
  const bool running = settings_influx_ != nullptr;
  if (running && target && settings_influx_->writer().target() == *target) return;
  if (!running && !target) return;
  settings_influx_.reset();
  if (target) settings_influx_ = std::make_unique<WindowInflux>(*this, *target);
}

}  // namespace tarvo
