#include "files/session_group.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <set>
#include <thread>

#include "files/session_store.h"

namespace tarvo {

namespace {

constexpr std::size_t kLongestId = 64;

// The join lock is held for a moment only; a holder that stopped (a
// debugger, SIGSTOP) must not hold up a Start, which then records with no
// group.
constexpr int kLockTries = 200;
constexpr auto kLockPause = std::chrono::milliseconds(10);

int open_join_lock(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    std::this_thread::sleep_for(kLockPause);
  }
  ::close(fd);
  return -1;
}

std::string read_id(int fd) {
  char buffer[kLongestId + 1];
  const ssize_t got = ::pread(fd, buffer, kLongestId, 0);
  if (got <= 0) return {};
  std::string id(buffer, static_cast<std::size_t>(got));
  while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
  return valid_group_id(id) ? id : std::string();
}

bool write_id(int fd, const std::string& id) {
  const std::string line = id + "\n";
  return ::ftruncate(fd, 0) == 0 &&
         ::pwrite(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size());
}

// With the join lock held, while another member lives.
std::string take_id(int fd) {
  if (::flock(fd, LOCK_SH) != 0) return {};
  std::string id = read_id(fd);
  if (!id.empty()) return id;
  // A file emptied by hand while its group lives: the group goes on under a new id.
  id = new_group_id();
  return write_id(fd, id) ? id : std::string();
}

}  // namespace

SessionGroupMember::~SessionGroupMember() {
  if (guard_ >= 0) ::close(guard_);
  ::close(fd_);
}

void SessionGroupMember::settle(const std::string& id) {
  if (guard_ < 0) return;
  id_ = valid_group_id(id) && !id.empty() ? id : new_group_id();
  write_id(fd_, id_);
  ::flock(fd_, LOCK_SH);
  ::close(guard_);
  guard_ = -1;
  founded_ = true;
}

std::vector<std::string> session_groups(const std::vector<SessionSummary>& sessions) {
  std::set<std::string> named;
  for (const SessionSummary& s : sessions) {
    if (!s.header.group.empty()) named.insert(s.header.group);
  }
  std::vector<std::string> groups;
  for (const SessionSummary& s : sessions) {
    const std::string own = s.path.stem().string();
    groups.push_back(!s.header.group.empty() ? s.header.group
                     : named.contains(own)   ? own
                                             : std::string());
  }
  return groups;
}

bool valid_group_id(std::string_view id) {
  for (const char c : id) {
    if (c == '\t' || c == '\n' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return id.size() <= kLongestId;
}

std::unique_ptr<SessionGroupMember> SessionGroupMember::join(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  std::filesystem::path lock_file = file;
  lock_file += ".lock";
  const int guard = open_join_lock(lock_file);
  if (guard < 0) return nullptr;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    ::close(guard);
    return nullptr;
  }
  // No member lives when the exclusive lock is free: this one founds the group.
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    return std::unique_ptr<SessionGroupMember>(new SessionGroupMember(fd, guard, {}));
  }
  std::string id = take_id(fd);
  ::close(guard);
  if (id.empty()) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<SessionGroupMember>(new SessionGroupMember(fd, -1, std::move(id)));
}

std::filesystem::path default_group_file() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && std::filesystem::path(runtime).is_absolute()) {
    return std::filesystem::path(runtime) / "tarvo" / "group";
  }
  return default_session_folder().parent_path() / "group";
}

std::string new_group_id() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  std::random_device random;
  char tail[8];
  std::snprintf(tail, sizeof tail, "-%04x", static_cast<unsigned>(random() & 0xffff));
  return std::string(text) + tail;
}

}  // namespace tarvo
