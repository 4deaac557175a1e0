#include "test_broker.h"

#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace tarvo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kBroker = TARVO_MOSQUITTO;

sockaddr_in loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

int bound_loopback_socket(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a = loopback(0);
  socklen_t size = sizeof a;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
    throw std::runtime_error("no free port on 127.0.0.1");
  }
  port = ntohs(a.sin_port);
  return fd;
}

bool accepts_connections(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in a = loopback(port);
  const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

bool TestBroker::available() {
  return ::access(kBroker, X_OK) == 0;
}

TestBroker::TestBroker() {
  static std::atomic<int> counter{0};
  dir_ = fs::temp_directory_path() /
         ("tarvo-broker-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  // Started as root, the broker runs as its own user, which must write here.
  fs::permissions(dir_, fs::perms::all);
  const int fd = bound_loopback_socket(port_);
  ::close(fd);
  std::ofstream(dir_ / "mosquitto.conf")
      << "listener " << port_ << " 127.0.0.1\n"
      << "allow_anonymous true\n"
      << "persistence true\n"
      << "persistence_location " << (dir_ / "").string() << "\n"
      << "log_dest file " << (dir_ / "broker.log").string() << "\n";
  start();
}

TestBroker::~TestBroker() {
  stop();
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

std::string TestBroker::url(const std::string& prefix) const {
  return "mqtt://127.0.0.1:" + std::to_string(port_) + "/" + prefix;
}

void TestBroker::start() {
  const std::string config = (dir_ / "mosquitto.conf").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execl(kBroker, kBroker, "-c", config.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!accepts_connections(port_)) {
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("broker did not start");
    std::this_thread::sleep_for(20ms);
  }
}

void TestBroker::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

int closed_loopback_port() {
  int port = 0;
  ::close(bound_loopback_socket(port));
  return port;
}

SilentListener::SilentListener() {
  fd_ = bound_loopback_socket(port_);
  ::listen(fd_, 16);
}

SilentListener::~SilentListener() {
  ::close(fd_);
}

HangUpBroker::HangUpBroker() {
  fd_ = bound_loopback_socket(port_);
  ::listen(fd_, 16);
  thread_ = std::thread([this] { serve(); });
}

HangUpBroker::~HangUpBroker() {
  stop_ = true;
  thread_.join();
  ::close(fd_);
}

void HangUpBroker::serve() {
  constexpr unsigned char kConnack[] = {0x20, 0x02, 0x00, 0x00};
  while (!stop_) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int client = ::accept(fd_, nullptr, nullptr);
    if (client < 0) continue;
    pollfd c{client, POLLIN, 0};
    char connect[512];
    if (::poll(&c, 1, 2000) > 0 && ::read(client, connect, sizeof connect) > 0) {
      (void)!::write(client, kConnack, sizeof kConnack);
    }
    ::close(client);
  }
}

TestSubscriber::TestSubscriber(int port, const std::string& topic_filter) : filter_(topic_filter) {
  mosquitto_lib_init();
  static std::atomic<int> counter{0};
  const std::string id =
      "tarvo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  m_ = mosquitto_new(id.c_str(), false, this);
  mosquitto_connect_callback_set(m_, &TestSubscriber::on_connect);
  mosquitto_subscribe_callback_set(m_, &TestSubscriber::on_subscribe);
  mosquitto_message_callback_set(m_, &TestSubscriber::on_message);
  mosquitto_reconnect_delay_set(m_, 1, 1, false);
  mosquitto_connect(m_, "127.0.0.1", port, 30);
  mosquitto_loop_start(m_);
}

TestSubscriber::~TestSubscriber() {
  mosquitto_disconnect(m_);
  mosquitto_loop_stop(m_, true);
  mosquitto_destroy(m_);
}

void TestSubscriber::on_connect(mosquitto* m, void* self, int rc) {
  auto* s = static_cast<TestSubscriber*>(self);
  if (rc == 0) mosquitto_subscribe(m, nullptr, s->filter_.c_str(), 1);
}

void TestSubscriber::on_subscribe(mosquitto*, void* self, int, int, const int*) {
  auto* s = static_cast<TestSubscriber*>(self);
  const std::lock_guard lock(s->mutex_);
  s->subscribed_ = true;
}

void TestSubscriber::on_message(mosquitto*, void* self, const mosquitto_message* message) {
  auto* s = static_cast<TestSubscriber*>(self);
  const std::lock_guard lock(s->mutex_);
  s->messages_.push_back({message->topic,
                          std::string(static_cast<const char*>(message->payload),
                                      static_cast<std::size_t>(message->payloadlen)),
                          message->retain});
}

bool TestSubscriber::wait_subscribed(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (subscribed_) return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
}

std::vector<ReceivedMessage> TestSubscriber::wait_for(const std::string& topic, std::size_t n,
                                                      std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::vector<ReceivedMessage> all = messages();
    std::size_t on_topic = 0;
    for (const auto& m : all) on_topic += m.topic == topic ? 1 : 0;
    if (on_topic >= n || std::chrono::steady_clock::now() > deadline) return all;
    std::this_thread::sleep_for(20ms);
  }
}

std::vector<ReceivedMessage> TestSubscriber::messages() const {
  const std::lock_guard lock(mutex_);
  return messages_;
}

}  // namespace tarvo::testing
