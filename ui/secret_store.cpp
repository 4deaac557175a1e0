#include "secret_store.h"

#include <qt6keychain/keychain.h>

namespace tarvo {

namespace {

constexpr const char* kService = "tarvo";

QString key_of(SecretStore::Secret which) {
  return which == SecretStore::Secret::BrokerPassword ? QStringLiteral("mqtt-password")
                                                      : QStringLiteral("influx-token");
}

std::size_t slot(SecretStore::Secret which) {
  return static_cast<std::size_t>(which);
}

}  // namespace

SecretStore::SecretStore(bool use_keychain, QObject* parent)
    : QObject(parent),
      use_keychain_(use_keychain),
      keychain_(use_keychain ? Keychain::Unknown : Keychain::Missing) {}

void SecretStore::note_answer(int error) {
  const bool missing = error == QKeychain::NoBackendAvailable ||
                       error == QKeychain::NotImplemented || error == QKeychain::OtherError;
  const Keychain now = missing ? Keychain::Missing : Keychain::Present;
  if (now == keychain_) return;
  keychain_ = now;
  emit keychain_known();
}

void SecretStore::load() {
  if (!use_keychain_) return;
  for (const Secret which : {Secret::BrokerPassword, Secret::InfluxToken}) {
    auto* job = new QKeychain::ReadPasswordJob(QLatin1String(kService), this);
    job->setKey(key_of(which));
    connect(job, &QKeychain::Job::finished, this, [this, which](QKeychain::Job* done) {
      note_answer(done->error());
      const QString text = static_cast<QKeychain::ReadPasswordJob*>(done)->textData();
      // A value set meanwhile in the dialog is the newer one.
      if (done->error() == QKeychain::NoError && !secrets_[slot(which)]) {
        secrets_[slot(which)] = text.toStdString();
      }
    });
    job->start();
  }
}

std::optional<std::string> SecretStore::get(Secret which) const {
  return secrets_[slot(which)];
}

void SecretStore::set(Secret which, const std::string& value) {
  if (secrets_[slot(which)].value_or("") == value) return;
  secrets_[slot(which)] = value;
  if (!use_keychain_) return;
  QKeychain::Job* job = nullptr;
  if (value.empty()) {
    job = new QKeychain::DeletePasswordJob(QLatin1String(kService), this);
  } else {
    auto* write = new QKeychain::WritePasswordJob(QLatin1String(kService), this);
    write->setTextData(QString::fromStdString(value));
    job = write;
  }
  job->setKey(key_of(which));
  connect(job, &QKeychain::Job::finished, this,
          [this](QKeychain::Job* done) { note_answer(done->error()); });
  job->start();
}

}  // namespace tarvo
