#include "publish/broker_password.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvo {

namespace {

constexpr std::size_t kLongestPassword = 65535;

std::string without_line_end(std::string text) {
  if (text.ends_with('\n')) text.pop_back();
  if (text.ends_with('\r')) text.pop_back();
  return text;
}

// The file's kind and mode are taken from the opened file itself, so what
// is checked is what is read.
std::optional<std::string> read_checked(int fd, const std::string& name, std::string& error) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = name + " is not a regular file";
    return std::nullopt;
  }
  if ((info.st_mode & 077) != 0) {
    error = name + " can be read or changed by other users; make it private with chmod 600";
    return std::nullopt;
  }
  if (static_cast<std::uint64_t>(info.st_size) > kLongestPassword + 2) {
    error = name + " is too long for a password";
    return std::nullopt;
  }
  std::string text(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return without_line_end(std::move(text));
}

bool is_ipv4_loopback(std::string_view host) {
  if (!host.starts_with("127.")) return false;
  int dots = 0;
  for (const char c : host) {
    if (c == '.') {
      ++dots;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  return dots == 3;
}

}  // namespace

std::optional<std::string> read_password_file(const std::filesystem::path& file,
                                              std::string& error) {
  const std::string name = "the password file " + file.string();
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = name + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::optional<std::string> password = read_checked(fd, name, error);
  ::close(fd);
  if (password && password->empty()) {
    error = name + " is empty";
    return std::nullopt;
  }
  return password;
}

bool take_password(PublishTarget& target, const PasswordSources& sources, std::string& error) {
  if (sources.file) {
    if (target.password) {
      error = "the address holds a password and --password-file gives another; give one";
      return false;
    }
    if (!target.user) {
      error = "a password needs a user name: mqtt://USER@host/prefix";
      return false;
    }
    target.password = read_password_file(*sources.file, error);
    return target.password.has_value();
  }
  if (!target.password && target.user && sources.environment) {
    target.password = *sources.environment;
  }
  return true;
}

bool is_loopback_host(std::string_view host) {
  return host == "localhost" || host == "::1" || is_ipv4_loopback(host);
}

std::vector<std::string> password_warnings(const PublishTarget& target) {
  std::vector<std::string> warnings;
  if (!target.password) return warnings;
  if (target.password_in_address) {
    warnings.emplace_back(
        "the password in the broker address could be read by other users of this computer "
        "while the command line showed it; use --password-file or " +
        std::string(kPasswordVariable));
  }
  if (!target.tls && !is_loopback_host(target.host)) {
    warnings.emplace_back("the password goes unencrypted to " + target.host +
                          " over mqtt://; use mqtts:// to protect it");
  }
  return warnings;
}

bool mask_address_password(char* argument) {
  char* scheme_end = std::strstr(argument, "://");
  if (scheme_end == nullptr) return false;
  char* authority = scheme_end + 3;
  char* authority_end = std::strchr(authority, '/');
  if (authority_end == nullptr) authority_end = authority + std::strlen(authority);
  char* at = nullptr;
  for (char* c = authority; c < authority_end; ++c) {
    if (*c == '@') at = c;
  }
  if (at == nullptr) return false;
  char* colon =
      static_cast<char*>(std::memchr(authority, ':', static_cast<std::size_t>(at - authority)));
  if (colon == nullptr || colon + 1 == at) return false;
  std::memset(colon + 1, '*', static_cast<std::size_t>(at - colon - 1));
  return true;
}

}  // namespace tarvo
