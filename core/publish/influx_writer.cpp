// libcurl's easy interface on the writer's own thread: one handle for the
// writer's life, so that its connection to the server is kept between batches.
#include "publish/influx_writer.h"

#include <curl/curl.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <nlohmann/json.hpp>

#include "publish/influx_line.h"

namespace tarvo {
namespace {

constexpr std::size_t kMostEvents = 256;
constexpr long kConnectTimeoutMs = 5000;
constexpr long kRequestTimeoutMs = 30000;
constexpr std::size_t kMostAnswer = 4096;  // of an answer, for the reason of a failure
constexpr int kIdMask = 0x3fffffff;

void init_library() {
  static std::once_flag once;
  std::call_once(once, [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);  // a server that goes away mid-write must not end the program
  });
}

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

std::size_t keep_answer(char* data, std::size_t size, std::size_t n, void* out) {
  auto* answer = static_cast<std::string*>(out);
  const std::size_t bytes = size * n;
  if (answer->size() < kMostAnswer) {
    answer->append(data, std::min(bytes, kMostAnswer - answer->size()));
  }
  return bytes;
}

// 1.x answers {"error":"..."}, 2.x {"code":"...","message":"..."}.
std::string answer_reason(const std::string& answer) {
  const auto j = nlohmann::json::parse(answer, nullptr, false);
  if (j.is_object()) {
    for (const char* key : {"error", "message"}) {
      if (j.contains(key) && j[key].is_string()) return j[key].get<std::string>();
    }
  }
  std::string text = answer.substr(0, 200);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

std::string pause_text(std::chrono::milliseconds pause) {
  const auto ms = pause.count();
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
  return std::to_string(ms) + " ms";
}

}  // namespace

InfluxWriter::InfluxWriter(InfluxTarget target, const MeterState& session, PublisherTiming timing,
                           std::size_t capacity)
    : target_(std::move(target)),
      write_url_(target_.write_url()),
      session_(session),
      timing_(timing),
      capacity_(capacity),
      outbox_(capacity) {
  init_library();
  thread_ = std::thread([this] { run(); });
}

InfluxWriter::~InfluxWriter() {
  finish(std::chrono::milliseconds(0));
}

// A typed test frame is no reading of the meter: it is not written.
void InfluxWriter::reading_committed(const real_Record& record) {
  if (record.TestFrame) return;
  OutgoingReading reading{record, session_.model, session_.ActivePort, session_.DecimalSeparator};
  {
    const std::lock_guard lock(mutex_);
    if (accepting_) outbox_.push(std::move(reading));
  }
  wake_.notify_all();
}

BrokerStatus InfluxWriter::status() const {
  const std::lock_guard lock(mutex_);
  return {state_, outbox_.waiting(), outbox_.dropped(), outbox_.delivered()};
}

std::vector<BrokerEvent> InfluxWriter::take_events() {
  const std::lock_guard lock(mutex_);
  std::vector<BrokerEvent> events;
  events.swap(events_);
  return events;
}

std::size_t InfluxWriter::finish(std::chrono::milliseconds grace) {
  {
    const std::lock_guard lock(mutex_);
    if (accepting_) {
      accepting_ = false;
      finishing_ = true;
      finish_deadline_ = std::chrono::steady_clock::now() + grace;
    }
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  const std::lock_guard lock(mutex_);
  return outbox_.waiting();
}

void InfluxWriter::post(BrokerState state, std::string detail) {
  const std::lock_guard lock(mutex_);
  state_ = state;
  events_.push_back({state, std::move(detail)});
  if (events_.size() > kMostEvents) events_.erase(events_.begin());
}

bool InfluxWriter::finishing_done() const {
  const std::lock_guard lock(mutex_);
  return finishing_ &&
         (outbox_.waiting() == 0 || std::chrono::steady_clock::now() >= finish_deadline_);
}

bool InfluxWriter::past_deadline() const {
  const std::lock_guard lock(mutex_);
  return finishing_ && std::chrono::steady_clock::now() >= finish_deadline_;
}

void InfluxWriter::run() {
  const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  post(BrokerState::Connecting, target_.base);
  std::chrono::milliseconds pause = timing_.first_retry;
  for (;;) {
    wait_for_work();
    if (finishing_done()) break;
    std::vector<int> ids;
    const std::string body = take_batch(ids);
    if (ids.empty()) continue;
    const Result result = curl ? post_batch(curl.get(), body) : Result{false, false, "no libcurl"};
    {
      const std::lock_guard lock(mutex_);
      if (result.written) {
        for (const int id : ids) outbox_.acknowledged(id);
      } else {
        outbox_.connection_lost();
      }
    }
    if (result.written) {
      pause = timing_.first_retry;
      if (status().state != BrokerState::Online) post(BrokerState::Online, target_.base);
      continue;
    }
    if (finishing_done()) break;
    post(result.refused ? BrokerState::Refused : BrokerState::Offline,
         result.detail + "; next try in " +
             pause_text(std::min(pause, timing_.longest_retry_while_waiting)));
    wait_before_retry(pause);
    pause = std::min(pause * 2, timing_.longest_retry);
  }
  post(BrokerState::Stopped, {});
}

void InfluxWriter::wait_for_work() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] {
    std::uint64_t number = 0;
    return finishing_ || outbox_.next_unsent(number) != nullptr;
  });
}

// As the broker's: readings wait, so the server is tried again within
// longest_retry_while_waiting, and a finish shortens the pause to its deadline.
void InfluxWriter::wait_before_retry(std::chrono::milliseconds pause) {
  std::unique_lock lock(mutex_);
  const auto start = std::chrono::steady_clock::now();
  auto until = start + std::min(pause, timing_.longest_retry_while_waiting);
  const bool was_finishing = finishing_;
  if (was_finishing) until = std::min(until, finish_deadline_);
  wake_.wait_until(lock, until, [&] { return finishing_ != was_finishing; });
  if (!was_finishing && finishing_) {
    wake_.wait_until(lock, std::min(until, finish_deadline_), [] { return false; });
  }
}

// The oldest unsent readings, marked sent under ids of the writer's own; the
// lines are made after the lock is let go.
std::string InfluxWriter::take_batch(std::vector<int>& ids) {
  std::vector<OutgoingReading> batch;
  {
    const std::lock_guard lock(mutex_);
    std::uint64_t number = 0;
    while (batch.size() < kBatch) {
      const OutgoingReading* next = outbox_.next_unsent(number);
      if (next == nullptr) break;
      batch.push_back(*next);
      const int id = next_id_;
      next_id_ = (next_id_ + 1) & kIdMask;
      outbox_.mark_sent(number, id);
      ids.push_back(id);
    }
  }
  std::string body;
  for (const OutgoingReading& reading : batch) body += influx_line(reading, target_.key) + '\n';
  return body;
}

int InfluxWriter::on_progress(void* self, std::int64_t, std::int64_t, std::int64_t, std::int64_t) {
  return static_cast<InfluxWriter*>(self)->past_deadline() ? 1 : 0;
}

InfluxWriter::Result InfluxWriter::post_batch(void* handle, const std::string& body) {
  CURL* c = static_cast<CURL*>(handle);
  std::unique_ptr<curl_slist, ListDeleter> headers(
      curl_slist_append(nullptr, "Content-Type: text/plain; charset=utf-8"));
  if (target_.token) {
    const std::string authorization = "Authorization: Token " + *target_.token;
    curl_slist_append(headers.get(), authorization.c_str());  // the same list, one longer
  }
  std::string answer;
  char error[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(c, CURLOPT_URL, write_url_.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_POST, 1L);
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, kRequestTimeoutMs);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &keep_answer);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &InfluxWriter::on_progress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
  const CURLcode rc = curl_easy_perform(c);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
  if (rc != CURLE_OK) return {false, false, error[0] != '\0' ? error : curl_easy_strerror(rc)};
  long code = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
  if (code >= 200 && code < 300) return {true, false, {}};
  // A busy or failing server may take the same batch later; a refusal needs
  // the user (a missing database, a wrong token) and is told as such.
  const bool refused = code >= 400 && code < 500 && code != 408 && code != 429;
  return {false, refused, "HTTP " + std::to_string(code) + ": " + answer_reason(answer)};
}

}  // namespace tarvo
