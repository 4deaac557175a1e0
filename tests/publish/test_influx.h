#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tarvo::testing {

// A real InfluxDB 1.x server of the test's own, on free ports of 127.0.0.1,
// with its data in a folder of its own that outlives a restart. Ended by its
// PID only.
class TestInflux {
 public:
  // Whether the server program is installed; the tests skip without it.
  static bool available();

  TestInflux();
  ~TestInflux();
  TestInflux(const TestInflux&) = delete;
  TestInflux& operator=(const TestInflux&) = delete;

  std::string url() const { return "http://127.0.0.1:" + std::to_string(http_port_); }
  // Ends the server (SIGTERM to its PID) and waits for it.
  void stop();
  // Starts it again on the same ports and waits until it answers /ping.
  void start();

  // An InfluxQL statement's JSON answer ("" when there was none); db may be empty.
  std::string query(const std::string& db, const std::string& statement) const;

 private:
  std::filesystem::path dir_;
  int http_port_ = 0;
  int rpc_port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace tarvo::testing
