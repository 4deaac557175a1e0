#pragma once

#include <QObject>
#include <array>
#include <optional>
#include <string>

namespace tarvo {

// The broker's password and InfluxDB's token: in the desktop's keychain (the
// secret service) when there is one, else only in memory until the program
// ends. Never in the settings file.
class SecretStore : public QObject {
  Q_OBJECT

 public:
  enum class Secret { BrokerPassword, InfluxToken };
  enum class Keychain { Unknown, Present, Missing };

  // Without the keychain (tests, a run without a settings file) secrets live
  // in memory only and the keychain is never asked.
  explicit SecretStore(bool use_keychain, QObject* parent = nullptr);

  // Asks the keychain for both secrets; the answers come later.
  void load();
  std::optional<std::string> get(Secret which) const;
  // Kept at once in memory; an empty value removes it from the keychain too.
  void set(Secret which, const std::string& value);
  Keychain keychain() const { return keychain_; }

 signals:
  void keychain_known();

 private:
  void note_answer(int error);

  bool use_keychain_;
  Keychain keychain_;
  std::array<std::optional<std::string>, 2> secrets_{};
};

}  // namespace tarvo
