#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/session_file.h"

namespace tarvo {

// A recorder's place in the group of sessions recorded side by side on this
// machine. The group file holds the group's id; each live recorder holds a
// shared lock on it. The first recorder to join while no other holds the
// lock founds the group: the id is the name of its session file, so that
// session needs no group line and stays readable by older programs. Those
// that join while a member lives take the same id. A small lock file beside
// it makes each join one step, so two recorders that start together never
// make two ids; a founder holds it until it settles the id.
class SessionGroupMember {
 public:
  ~SessionGroupMember();
  SessionGroupMember(const SessionGroupMember&) = delete;
  SessionGroupMember& operator=(const SessionGroupMember&) = delete;

  // Null when the file cannot be made or locked: the session then has no group.
  static std::unique_ptr<SessionGroupMember> join(const std::filesystem::path& file);

  // Empty for a founder until it settles the id.
  const std::string& id() const { return id_; }
  bool founder() const { return guard_ >= 0 || founded_; }
  // The founder's id (its session's name), written for those who join next.
  void settle(const std::string& id);

 private:
  SessionGroupMember(int fd, int guard, std::string id)
      : fd_(fd), guard_(guard), id_(std::move(id)) {}
  int fd_;
  int guard_;  // held by a founder until it settles
  std::string id_;
  bool founded_ = false;
};

// $XDG_RUNTIME_DIR/tarvo/group, or the group file beside the state folder's
// sessions when there is no runtime folder.
std::filesystem::path default_group_file();

// A new id: the local time of its making and a random part, safe in a file
// name and a header line.
std::string new_group_id();

// The group of each session of a list, in its order: its group line, or its
// own name when it founded a group that another session of the list names;
// empty for a session of no group.
std::vector<std::string> session_groups(const std::vector<SessionSummary>& sessions);

// Whether a header line can carry the id whole.
bool valid_group_id(std::string_view id);

}  // namespace tarvo
