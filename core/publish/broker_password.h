#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "publish/publish_target.h"

namespace tarvo {

// The broker's password kept off the command line, where every user of the
// computer can read it (ps, /proc/PID/cmdline): from a file only its owner
// can read, or from this environment variable.
inline constexpr const char* kPasswordVariable = "TARVO_MQTT_PASSWORD";

// The password in a file: a regular file that neither its group nor others
// may read or write, of at most 65535 bytes (the most MQTT carries); one line
// end at its end is not part of it. nullopt with the reason in error, which
// never holds the file's content.
std::optional<std::string> read_password_file(const std::filesystem::path& file,
                                              std::string& error);

struct PasswordSources {
  std::optional<std::filesystem::path> file;  // --password-file
  std::optional<std::string> environment;     // the variable's value, when it is set
};

// Gives the target its password: from the file, else the one in the address,
// else the variable's. False with the reason in error when the file cannot be
// used, when the file and the address both give one, or when the file gives
// one to an address without a user name. The variable is for every address
// that names a user, so it is ignored without one.
bool take_password(PublishTarget& target, const PasswordSources& sources, std::string& error);

// "localhost", 127.0.0.0/8 and ::1: traffic that never leaves the computer.
bool is_loopback_host(std::string_view host);

// What the user should be told about the target's password, each once:
// that it stood in the address on the command line, and that it travels
// unencrypted to another computer over mqtt://. The password itself is
// never part of them.
std::vector<std::string> password_warnings(const PublishTarget& target);

// Overwrites, in place, the password of a broker address in a program
// argument ("mqtt://ann:s3cret@h/x" or "--publish=mqtt://..."), so that the
// arguments others can read no longer show it. True when there was one.
bool mask_address_password(char* argument);

}  // namespace tarvo
