#include "test_influx.h"

#include <curl/curl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "test_broker.h"

namespace tarvo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kServer = TARVO_INFLUXD;

std::size_t keep(char* data, std::size_t size, std::size_t n, void* out) {
  static_cast<std::string*>(out)->append(data, size * n);
  return size * n;
}

// The answer's status, or 0 when the server could not be reached.
long http(const std::string& url, const std::string* form, std::string& answer) {
  CURL* c = curl_easy_init();
  if (c == nullptr) return 0;
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, 10000L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &keep);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &answer);
  if (form != nullptr) curl_easy_setopt(c, CURLOPT_POSTFIELDS, form->c_str());
  long code = 0;
  if (curl_easy_perform(c) == CURLE_OK) curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
  curl_easy_cleanup(c);
  return code;
}

std::string escaped(const std::string& text) {
  CURL* c = curl_easy_init();
  char* e = curl_easy_escape(c, text.c_str(), static_cast<int>(text.size()));
  std::string out = e != nullptr ? e : "";
  curl_free(e);
  curl_easy_cleanup(c);
  return out;
}

}  // namespace

bool TestInflux::available() {
  return ::access(kServer, X_OK) == 0;
}

TestInflux::TestInflux() {
  static std::atomic<int> counter{0};
  dir_ = fs::temp_directory_path() /
         ("tarvo-influx-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  http_port_ = closed_loopback_port();
  do {
    rpc_port_ = closed_loopback_port();
  } while (rpc_port_ == http_port_);
  const std::string d = dir_.string();
  std::ofstream(dir_ / "influxdb.conf")
      << "reporting-disabled = true\n"
      << "bind-address = \"127.0.0.1:" << rpc_port_ << "\"\n"
      << "[meta]\n  dir = \"" << d << "/meta\"\n"
      << "[data]\n  dir = \"" << d << "/data\"\n  wal-dir = \"" << d << "/wal\"\n"
      << "  query-log-enabled = false\n"
      << "[http]\n  enabled = true\n  bind-address = \"127.0.0.1:" << http_port_ << "\"\n"
      << "  log-enabled = false\n"
      << "[monitor]\n  store-enabled = false\n"
      << "[subscriber]\n  enabled = false\n"
      << "[continuous_queries]\n  enabled = false\n";
  start();
}

TestInflux::~TestInflux() {
  stop();
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

void TestInflux::start() {
  const std::string config = (dir_ / "influxdb.conf").string();
  const std::string log = (dir_ / "influxd.log").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    if (std::freopen(log.c_str(), "a", stderr) == nullptr) ::_exit(126);
    if (std::freopen(log.c_str(), "a", stdout) == nullptr) ::_exit(126);
    ::execl(kServer, kServer, "-config", config.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Opening its storage takes a moment on a busy machine.
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  std::string answer;
  while (http(url() + "/ping", nullptr, answer) != 204) {
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("influxd did not start");
    std::this_thread::sleep_for(50ms);
  }
}

void TestInflux::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

std::string TestInflux::query(const std::string& db, const std::string& statement) const {
  std::string form = "q=" + escaped(statement);
  if (!db.empty()) form += "&db=" + escaped(db);
  form += "&epoch=ns";
  std::string answer;
  http(url() + "/query", &form, answer);
  return answer;
}

}  // namespace tarvo::testing
