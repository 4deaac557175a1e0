#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace tarvo {

// A recorder's place in the group of sessions recorded side by side on this
// machine. The group file holds the group's id; each live recorder holds a
// shared lock on it. The first recorder to join while no other holds the
// lock makes a new id; those that join while it lives take the same one. A
// small lock file beside it makes each join one step, so two recorders that
// start together never make two ids.
class SessionGroupMember {
 public:
  ~SessionGroupMember();
  SessionGroupMember(const SessionGroupMember&) = delete;
  SessionGroupMember& operator=(const SessionGroupMember&) = delete;

  // Null when the file cannot be made or locked: the session then has no group.
  static std::unique_ptr<SessionGroupMember> join(const std::filesystem::path& file);

  const std::string& id() const { return id_; }

 private:
  SessionGroupMember(int fd, std::string id) : fd_(fd), id_(std::move(id)) {}
  int fd_;
  std::string id_;
};

// $XDG_RUNTIME_DIR/tarvo/group, or the group file beside the state folder's
// sessions when there is no runtime folder.
std::filesystem::path default_group_file();

// A new id: the local time of its making and a random part, safe in a file
// name and a header line.
std::string new_group_id();

}  // namespace tarvo
