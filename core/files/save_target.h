#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

// Why a save must leave the thing at `target` alone, in the words of a
// message; nullopt when the name is free or holds a regular file. A device,
// a pipe, a socket or a folder is never replaced by a file, and a symbolic
// link is refused rather than followed: a link planted in a shared folder
// would otherwise send the bytes onto another file of the user.
std::optional<std::string> save_target_problem(const std::filesystem::path& target);

// The same for the entry `name` of the folder open as dir_fd, looked at
// without following a link, so that the answer is about the entry a rename
// in that folder replaces.
std::optional<std::string> save_target_problem_at(int dir_fd, const char* name);

}  // namespace tarvo
