// What publishing costs the thread that commits a reading: one call of the
// publisher's commit listener, timed call by call, with the publisher's own
// thread busy beside it (retrying a broker that is not there, or sending to
// a real one of the bench's own on 127.0.0.1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "publish/mqtt_publisher.h"
#include "test_broker.h"

namespace tarvo {
namespace {

using Clock = std::chrono::steady_clock;

real_Record typical_record() {
  real_Record r;
  r.Index = 1;
  r.Main_No.assign("-12.345");
  r.Main_Range.assign("OHM AUTO 50.000 K\xCE\xA9");
  r.Sub_No.assign("60.00");
  r.Sub_range.assign("FRE 99.99 Hz");
  r.Time.assign("09:05:03");
  r.DateTime = {2026, 12, 9, 9, 5, 3, 0, 60};
  r.Dated = true;
  return r;
}

void commit_calls(benchmark::State& state, const std::string& url) {
  MeterState meter;
  meter.model = MeterModel::ModelTarvo;
  std::string why;
  MqttPublisher publisher(*parse_publish_url(url, why), meter);
  real_Record record = typical_record();
  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(state.max_iterations));
  for (auto _ : state) {
    ++record.Index;
    const auto start = Clock::now();
    publisher.reading_committed(record);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[micros.size() * 99 / 100];
  state.counters["max_us"] = micros.back();
  publisher.finish(std::chrono::seconds(0));
}

void BM_CommitWithNoBroker(benchmark::State& state) {
  commit_calls(state,
               "mqtt://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/bench");
}
BENCHMARK(BM_CommitWithNoBroker)->Iterations(20000)->Unit(benchmark::kMicrosecond);

void BM_CommitWhileSending(benchmark::State& state) {
  if (!testing::TestBroker::available()) {
    state.SkipWithError("no mosquitto broker installed");
    return;
  }
  testing::TestBroker broker;
  commit_calls(state, broker.url("bench"));
}
BENCHMARK(BM_CommitWhileSending)->Iterations(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvo
