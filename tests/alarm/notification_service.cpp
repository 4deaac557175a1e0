#include "notification_service.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tarvo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A child never holds the test's output open (ctest waits for that to
// close): what it says goes to a file, or nowhere.
void quiet(const char* file = "/dev/null") {
  const int out = ::open(file, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out < 0) return;
  ::dup2(out, STDOUT_FILENO);
  ::dup2(out, STDERR_FILENO);
  ::close(out);
}

std::string contents(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& bus,
            const std::string& display, const std::string& log = "/dev/null") {
  const pid_t pid = ::fork();
  if (pid == 0) {
    quiet(log.c_str());
    if (!bus.empty()) ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
    if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

void end(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
}

template <typename Ready>
void wait_for(Ready ready, const char* what) {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error(what);
    std::this_thread::sleep_for(20ms);
  }
}

}  // namespace

bool NotificationService::available() {
  for (const char* p :
       {"/usr/bin/dbus-daemon", "/usr/bin/Xvfb", "/usr/bin/dunst", "/usr/bin/dunstctl"}) {
    if (!fs::exists(p)) return false;
  }
  return true;
}

NotificationService::NotificationService() {
  try {
    start();
  } catch (...) {
    stop();  // nothing started may outlive a service that did not come up
    throw;
  }
}

void NotificationService::start() {
  dir_ = fs::temp_directory_path() / ("tarvo-notices-" + std::to_string(::getpid()));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  address_ = "unix:path=" + (dir_ / "bus").string();
  bus_ = spawn({"dbus-daemon", "--session", "--nofork", "--address=" + address_}, "", "");
  wait_for([&] { return fs::exists(dir_ / "bus"); }, "no session bus");
  // The X server picks a free display and writes its number to the pipe.
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe");
  const std::string x_log = (dir_ / "xvfb.log").string();
  x_ = ::fork();
  if (x_ == 0) {
    quiet(x_log.c_str());
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
            "640x480x24", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  // The number and its newline may come in two writes: the pipe stays open
  // until the newline, or the server fails writing it and ends.
  std::string number;
  char c = 0;
  while (number.size() < 16 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (c != '\n' || number.empty()) {
    throw std::runtime_error("Xvfb gave no display: " + contents(x_log));
  }
  display_ = ":" + number;
  start_dunst();
}

// dunst sometimes gives up at start on a loaded machine (seen once in a
// full test run); it is started again, and its own words end up in the error.
void NotificationService::start_dunst() {
  const std::string log = (dir_ / "dunst.log").string();
  for (int attempt = 0;; ++attempt) {
    dunst_ = spawn({"dunst"}, address_, display_, log);
    bool exited = false;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (dunstctl("count displayed").find_first_of("0123456789") == 0) return;
      int status = 0;
      if (::waitpid(dunst_, &status, WNOHANG) == dunst_) {
        exited = true;
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    if (!exited) end(dunst_);
    dunst_ = -1;
    if (attempt == 3)
      throw std::runtime_error("no notification service: " + contents(log) + "\nX server on " +
                               display_ + ": " + contents(dir_ / "xvfb.log"));
  }
}

NotificationService::~NotificationService() {
  stop();
}

void NotificationService::stop() {
  end(dunst_);
  end(x_);
  end(bus_);
  dunst_ = x_ = bus_ = -1;
  std::error_code ignored;
  if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

std::string NotificationService::dunstctl(const std::string& args) const {
  const std::string command =
      "DBUS_SESSION_BUS_ADDRESS='" + address_ + "' dunstctl " + args + " 2>/dev/null";
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, p) != nullptr) out += buf;
    ::pclose(p);
  }
  return out;
}

int NotificationService::displayed() const {
  return std::atoi(dunstctl("count displayed").c_str());
}

int NotificationService::shown() const {
  return std::atoi(dunstctl("count waiting").c_str()) + displayed() +
         std::atoi(dunstctl("count history").c_str());
}

void NotificationService::dismiss() const {
  dunstctl("close");
}

void NotificationService::click_action() const {
  dunstctl("action 0");
}

}  // namespace tarvo::testing
