// Start, the cycle, Stop and a pulled cable, on pseudo-terminals standing in
// for meters and other serial devices.
#include "link/acquisition.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fake_serial_devices.h"
#include "pty_pair.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using testing::PtyPair;

const Bytes kBench = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                      0x05, 0x04, 0x00, 0x00, 0x00, 0x5B, 0x00};
const Bytes kCompact = {0xA0, 0x00, 0x10, 0x00, 0x04, 0x02, 0x05, 0x04};
const Bytes kJunk(20, 0xFF);

Bytes twice(const Bytes& frame) {
  Bytes b = frame;
  b.insert(b.end(), frame.begin(), frame.end());
  return b;
}

// A bench frame whose last main digit is d: the reading 0.425d.
Bytes bench_reading(std::uint8_t d) {
  Bytes f = kBench;
  f[8] = d;
  return f;
}

constexpr const char* kStamp = "10:00:05.45";

std::string line(int port, const std::string& tail) {
  return std::string(kStamp) + "  COM" + std::to_string(port) + tail;
}

class Link : public ::testing::Test {
 protected:
  explicit Link(int cables = 0) {
    s_.LanguageBase = LanguageTable::kEnglish;
    for (int i = 0; i < cables; ++i) cables_.push_back(std::make_unique<PtyPair>());
  }

  PortMap map_of_cables(std::vector<std::string> extra = {}) const {
    PortMap map;
    for (const auto& c : cables_) map.devices.push_back(c->path());
    map.devices.insert(map.devices.end(), extra.begin(), extra.end());
    return map;
  }
  PtyPair& cable(int port) { return *cables_[static_cast<std::size_t>(port - 1)]; }

  MeterState s_;
  MemoryTrace sink_;
  PortTrace trace_{sink_, [] { return LocalTime{2026, 12, 9, 10, 0, 5, 45}; }};
  SerialPorts ports_{make_system_serial_devices(), trace_};
  Acquisition acq_{s_, ports_};
  std::vector<std::unique_ptr<PtyPair>> cables_;
};

class SevenPorts : public Link {
 protected:
  SevenPorts() : Link(7) {}
};

TEST_F(SevenPorts, FirstMeterInPortOrderWinsAndTheOthersAreClosed) {
  sink_.add_line("from an earlier run");
  const PortMap map = map_of_cables({"/nonexistent/ttyUSB9"});
  acq_.begin_start(map);
  EXPECT_EQ(acq_.state(), AcquisitionState::Searching);

  cable(1).send(kJunk);
  cable(3).send(twice(kCompact));
  cable(7).send(twice(kBench));
  EXPECT_EQ(acq_.finish_probe(), MeterModel::ModelNoxel);
  EXPECT_EQ(s_.model, MeterModel::ModelNoxel);
  EXPECT_EQ(s_.ActivePort, 3);
  EXPECT_EQ(acq_.state(), AcquisitionState::Searching);  // until the second wait is over

  Lines expected;
  for (int port = 1; port <= 8; ++port)
    expected.push_back(line(port, " = " + map.devices[port - 1]));
  for (int port = 1; port <= 7; ++port) expected.push_back(line(port, "  IS OPEN"));
  expected.push_back(line(8, "  OPEN FAIL"));
  std::string junk_dump;
  for (int i = 0; i < 20; ++i) junk_dump += "FF ";
  expected.push_back(line(1, "  Read:(20)  " + junk_dump + "\r\n"));
  expected.push_back(line(3, "  Read:(16)  A0 00 10 00 04 02 05 04 A0 00 10 00 04 02 05 04 \r\n"));
  for (int port : {1, 2, 4, 5, 6, 7}) expected.push_back(line(port, "  IS Closed"));
  EXPECT_EQ(sink_.lines(), expected);  // port 7 was never read

  const PortTable& table = ports_.table();
  for (int port = 1; port <= 8; ++port) {
    EXPECT_EQ(table[port].status, port == 3 ? PortStatus::ReadyToShow : PortStatus::Closed) << port;
    EXPECT_EQ(table[port].hSerialPort != 0, port == 3) << port;
  }

  acq_.begin_acquiring();
  EXPECT_EQ(acq_.state(), AcquisitionState::Acquiring);
}

class OneFamily : public Link, public ::testing::WithParamInterface<MeterModel> {
 protected:
  OneFamily() : Link(2) {}
};

TEST_P(OneFamily, MeterBehindAJunkPortIsFoundAndItsFamilyKnown) {
  const MeterModel family = GetParam();
  acq_.begin_start(map_of_cables());
  cable(1).send(kJunk);
  cable(2).send(family == MeterModel::ModelTarvo ? twice(kBench) : twice(kCompact));
  EXPECT_EQ(acq_.finish_probe(), family);
  EXPECT_EQ(s_.ActivePort, 2);
  EXPECT_EQ(sink_.lines().back(), line(1, "  IS Closed"));
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, OneFamily,
                         ::testing::Values(MeterModel::ModelTarvo, MeterModel::ModelNoxel));

class Acquiring : public Link {
 protected:
  Acquiring() : Link(1) {
    acq_.begin_start(map_of_cables());
    cable(1).send(kBench);
    EXPECT_EQ(acq_.finish_probe(), MeterModel::ModelTarvo);
    acq_.begin_acquiring();
    sink_.clear();
  }

  // Each tick the meter has sent one more frame; the clock shows the tick number.
  TickOutcome tick(int t) {
    cable(1).send(bench_reading(static_cast<std::uint8_t>(t % 10)));
    return acq_.tick(nullptr, [t] { return LocalTime{2026, 12, 9, 11, 0, t, 0}; });
  }
};

TEST_F(Acquiring, CommitsOncePerRecordingInterval) {
  struct Case {
    std::int64_t interval;
    int ticks;
    std::vector<std::string> times;
    std::vector<std::string> readings;
    Lines reads;
  };
  const std::string frame3 = "A0 00 30 00 00 04 02 05 03 00 00 00 5B 00 ";
  const Case cases[] = {
      {1,
       3,
       {"11:00:01", "11:00:02", "11:00:03"},
       {"0.4251", "0.4252", "0.4253"},
       {line(1, "  Read:(14)  A0 00 30 00 00 04 02 05 01 00 00 00 5B 00 \r\n"),
        line(1, "  Read:(14)  A0 00 30 00 00 04 02 05 02 00 00 00 5B 00 \r\n"),
        line(1, "  Read:(14)  A0 00 30 00 00 04 02 05 03 00 00 00 5B 00 \r\n")}},
      // Three seconds of frames arrive at once; the newest is the reading.
      {3,
       6,
       {"11:00:03", "11:00:06"},
       {"0.4253", "0.4256"},
       {line(1,
             "  Read:(42)  A0 00 30 00 00 04 02 05 01 00 00 00 5B 00 "
             "A0 00 30 00 00 04 02 05 02 00 00 00 5B 00 " +
                 frame3 + "\r\n"),
        line(1,
             "  Read:(42)  A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 "
             "A0 00 30 00 00 04 02 05 05 00 00 00 5B 00 "
             "A0 00 30 00 00 04 02 05 06 00 00 00 5B 00 \r\n")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("interval " + std::to_string(c.interval));
    s_.log.reset_log_counters();
    s_.TickCount = 0;
    s_.RecordInterval = c.interval;
    sink_.clear();
    for (int t = 1; t <= c.ticks; ++t) EXPECT_EQ(tick(t), TickOutcome::Running);
    ASSERT_EQ(s_.log.count(), static_cast<std::int64_t>(c.times.size()));
    for (std::size_t i = 0; i < c.times.size(); ++i) {
      EXPECT_EQ(s_.log[static_cast<std::int64_t>(i) + 1].Time.view(), c.times[i]);
      EXPECT_EQ(s_.log[static_cast<std::int64_t>(i) + 1].Main_No.view(), c.readings[i]);
    }
    EXPECT_EQ(sink_.lines(), c.reads);
  }
}

TEST_F(Acquiring, PulledCableEndsTheAcquisitionAsStopDoes) {
  for (const std::int64_t interval : {1, 3}) {
    SCOPED_TRACE("interval " + std::to_string(interval));
    s_.RecordInterval = interval;
    s_.TickCount = 0;
    if (interval == 3) {  // a fresh acquisition on a fresh cable
      cables_[0] = std::make_unique<PtyPair>();
      acq_.begin_start(map_of_cables());
      cable(1).send(kBench);
      ASSERT_EQ(acq_.finish_probe(), MeterModel::ModelTarvo);
      acq_.begin_acquiring();
      s_.TickCount = 0;
    }
    for (int t = 1; t <= 3; ++t) ASSERT_EQ(tick(t), TickOutcome::Running);
    const std::int64_t logged = s_.log.count();
    ASSERT_EQ(logged, interval == 1 ? 3 : 1);
    sink_.clear();

    cable(1).unplug();
    // On the next tick the cycle does not read the port when the interval is 3;
    // the loss is noticed all the same.
    EXPECT_EQ(acq_.tick(nullptr, [] { return LocalTime{}; }), TickOutcome::MeterLost);
    EXPECT_EQ(sink_.lines(), (Lines{line(1, "  DISCONNECTED"), line(1, "  IS Closed")}));
    EXPECT_EQ(acq_.state(), AcquisitionState::Stopped);
    EXPECT_EQ(s_.ActivePort, 0);
    EXPECT_EQ(ports_.table()[1].status, PortStatus::Closed);
    EXPECT_EQ(ports_.table()[1].hSerialPort, 0u);
    EXPECT_EQ(s_.log.count(), logged);  // the results stay
    EXPECT_EQ(s_.model, MeterModel::ModelTarvo);

    EXPECT_EQ(acq_.tick(nullptr, [] { return LocalTime{}; }), TickOutcome::NotAcquiring);
    EXPECT_EQ(sink_.lines().size(), 2u);
  }
}

struct StepLog final : AcquisitionListener {
  void acquisition_began() override { steps.push_back("began"); }
  void meter_lost() override { steps.push_back("lost"); }
  void meter_back() override { steps.push_back("back"); }
  void acquisition_stopped() override { steps.push_back("stopped"); }
  Lines steps;
};

// After a loss every tick probes what it opened a tick before: the lost
// device and the devices that appeared since, which is where an adapter
// plugged in again turns up. Only the lost family resumes the logging.
TEST_F(Acquiring, LostMeterIsAwaitedOnNewPortsAndStopEndsTheWait) {
  StepLog listener;
  acq_.add_listener(&listener);
  std::vector<std::string> system{cable(1).path()};
  acq_.wait_for_lost_meter([&] { return PortMap{system, true}; });
  ASSERT_EQ(tick(1), TickOutcome::Running);
  const std::int64_t logged = s_.log.count();
  cable(1).unplug();
  ASSERT_EQ(acq_.tick(nullptr, now_local), TickOutcome::LostWaiting);
  EXPECT_EQ(acq_.state(), AcquisitionState::Waiting);
  EXPECT_EQ(acq_.lost_device(), cable(1).path());
  const std::size_t traced = sink_.lines().size();
  EXPECT_EQ(sink_.lines().back(), std::string(kStamp) + "  Meter lost on " + cable(1).path() +
                                      "; waiting for it to come back");

  PtyPair adapter;  // the adapter back under another name, a compact meter first
  system.push_back(adapter.path());
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::Waiting);
  adapter.send(twice(kCompact));
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::Waiting);
  adapter.send(twice(kBench));
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::MeterBack);
  EXPECT_EQ(sink_.lines().size(), traced + 1);  // the tries left no lines
  EXPECT_EQ(ports_.device(s_.ActivePort), adapter.path());
  EXPECT_EQ(s_.log.count(), logged);
  adapter.send(bench_reading(7));
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::Running);
  EXPECT_EQ(s_.log.count(), logged + 1);
  // The first reading after the return, and only it, follows a gap.
  EXPECT_FALSE(s_.log[logged].AfterGap);
  EXPECT_TRUE(s_.log[logged + 1].AfterGap);
  adapter.send(bench_reading(8));
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::Running);
  EXPECT_FALSE(s_.log[logged + 2].AfterGap);

  adapter.unplug();
  EXPECT_EQ(acq_.tick(nullptr, now_local), TickOutcome::LostWaiting);
  acq_.stop();
  EXPECT_EQ(acq_.state(), AcquisitionState::Stopped);
  for (int port = kFirstPort; port <= kLastPort; ++port)
    EXPECT_EQ(ports_.table()[port].hSerialPort, 0u);
  EXPECT_EQ(listener.steps, (Lines{"lost", "back", "lost", "stopped"}));
  acq_.remove_listener(&listener);
}

TEST_F(Acquiring, StopClosesThePortAndKeepsTheResults) {
  s_.RecordInterval = 1;
  ASSERT_EQ(tick(1), TickOutcome::Running);
  sink_.clear();
  acq_.stop();
  EXPECT_EQ(sink_.lines(), Lines{line(1, "  IS Closed")});
  EXPECT_EQ(acq_.state(), AcquisitionState::Stopped);
  EXPECT_EQ(s_.ActivePort, 0);
  EXPECT_EQ(s_.log.count(), 1);
  EXPECT_EQ(s_.model, MeterModel::ModelTarvo);

  // Start again: the log starts from reading 1, the trace from the map. The
  // family Reset forgot comes back, for the views that depend on it.
  EXPECT_EQ(acq_.begin_start(map_of_cables()), MeterModel::ModelTarvo);
  EXPECT_EQ(s_.log.count(), 0);
  EXPECT_EQ(s_.model, MeterModel::None);
  EXPECT_EQ(sink_.lines(), (Lines{line(1, " = " + cable(1).path()), line(1, "  IS OPEN")}));
  acq_.close_all_ports();
  EXPECT_EQ(sink_.lines().back(), line(1, "  IS Closed"));
}

// Without a meter the user is told so, on Linux how to get access to the
// ports that were refused, and which ports another program holds.
TEST(NoMeter, WarningExplainsRefusedAndBusyPorts) {
  struct Case {
    OpenFailure failure;
    bool hint;
    std::vector<std::string> busy;
  };
  const Case cases[] = {{OpenFailure::PermissionDenied, true, {}},
                        {OpenFailure::Busy, false, {"/dev/ttyS0"}},
                        {OpenFailure::None, false, {}}};
  for (const Case& c : cases) {
    testing::FakeBus bus;
    bus["/dev/ttyS0"].refuse = c.failure;
    bus["/dev/ttyUSB0"].queued = kJunk;
    MeterState s;
    s.LanguageBase = LanguageTable::kEnglish;
    MemoryTrace sink;
    PortTrace trace(sink, [] { return LocalTime{}; });
    SerialPorts ports(bus.devices(), trace);
    Acquisition acq(s, ports);
    acq.begin_start(PortMap{{"/dev/ttyS0", "/dev/ttyUSB0"}, false});
    EXPECT_EQ(acq.finish_probe(), MeterModel::None);
    EXPECT_EQ(acq.state(), AcquisitionState::NoMeter);
    EXPECT_EQ(s.ActivePort, 0);
    EXPECT_FALSE(bus["/dev/ttyUSB0"].open);
#if defined(__linux__)
    const bool hint = c.hint;
#else
    const bool hint = false;
#endif
    EXPECT_EQ(acq.permission_hint(), hint);
    EXPECT_EQ(acq.refusals().busy, c.busy);
    std::string expected = "No Activate COM port found!";
    if (!c.busy.empty()) {
      expected +=
          "\nThese serial ports are held by another program: /dev/ttyS0. Close that "
          "program, then try again.";
    }
    if (hint) expected += "\n" + s.text(kTextPortPermissionHint);
    EXPECT_EQ(no_meter_message(s, acq.refusals()), expected);
  }
}

TEST(NoMeter, BothHintsFollowTheWarningBusyFirst) {
  MeterState s;
  s.LanguageBase = LanguageTable::kEnglish;
  EXPECT_EQ(no_meter_message(s, PortRefusals{true, {"/dev/ttyUSB0", "/dev/ttyUSB1"}}),
            "No Activate COM port found!\nThese serial ports are held by another program: "
            "/dev/ttyUSB0, /dev/ttyUSB1. Close that program, then try again.\n" +
                s.text(kTextPortPermissionHint));
}

// Real devices: a port held through our own serial layer (as another copy of
// Tarvo holds it) is named; the same device under a second name, held by this
// Start itself, is not.
TEST(NoMeter, HeldPortsAreNamedButNotOurOwn) {
  PtyPair held, junk;
  const std::string alias = ::testing::TempDir() + "tarvo-alias-" + std::to_string(getpid());
  std::filesystem::remove(alias);
  std::filesystem::create_symlink(junk.path(), alias);
  const auto other = make_system_serial_devices();
  const OpenedDevice holder = other->open(held.path());
  ASSERT_NE(holder.handle, 0u);

  MeterState s;
  MemoryTrace sink;
  PortTrace trace(sink, [] { return LocalTime{}; });
  SerialPorts ports(make_system_serial_devices(), trace);
  Acquisition acq(s, ports);
  acq.begin_start(PortMap{{held.path(), alias, junk.path()}, false});
  EXPECT_EQ(acq.finish_probe(), MeterModel::None);
  EXPECT_EQ(acq.refusals().busy, std::vector<std::string>{held.path()});
  EXPECT_FALSE(acq.refusals().permission);

  // The next Start forgets what the last one met.
  other->close(holder.handle);
  acq.begin_start(PortMap{{held.path()}, false});
  acq.finish_probe();
  EXPECT_TRUE(acq.refusals().busy.empty());
  std::filesystem::remove(alias);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A driver that sends the meter's bytes during the first wait and gives up at
// the wait it is told to; it records what Start told it.
class ScriptedStart final : public StartDriver {
 public:
  ScriptedStart(PtyPair& meter, int give_up_at) : meter_(meter), give_up_at_(give_up_at) {}
  bool wait_listening() override {
    calls.push_back("wait");
    if (++waits_ == 1) meter_.send(twice(kBench));
    return waits_ != give_up_at_;
  }
  void start_reset(MeterModel) override { calls.push_back("reset"); }
  void meter_found() override { calls.push_back("found"); }
  std::vector<std::string> calls;

 private:
  PtyPair& meter_;
  int give_up_at_;
  int waits_ = 0;
};

struct StartCase {
  int give_up_at;  // 0: never
  StartOutcome outcome;
  AcquisitionState state;
  Lines calls;
};

class OneMeter : public Link {
 protected:
  OneMeter() : Link(1) {}
};

class StartSteps : public OneMeter, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartSteps, RunInOrderUntilTheDriverGivesUp) {
  const StartCase& c = GetParam();
  ScriptedStart driver(cable(1), c.give_up_at);
  EXPECT_EQ(acq_.start(map_of_cables(), driver), c.outcome);
  EXPECT_EQ(acq_.state(), c.state);
  EXPECT_EQ(driver.calls, c.calls);
  if (c.outcome == StartOutcome::Abandoned) acq_.abandon_start();
  acq_.stop();
  EXPECT_EQ(ports_.table()[1].hSerialPort, 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, StartSteps,
                         ::testing::Values(StartCase{0,
                                                     StartOutcome::Acquiring,
                                                     AcquisitionState::Acquiring,
                                                     {"reset", "wait", "found", "wait"}},
                                           StartCase{1,
                                                     StartOutcome::Abandoned,
                                                     AcquisitionState::Searching,
                                                     {"reset", "wait"}},
                                           StartCase{2,
                                                     StartOutcome::Abandoned,
                                                     AcquisitionState::Searching,
                                                     {"reset", "wait", "found", "wait"}}));

// Two programs started together: the meter's port was held by the other one
// during the first listen and is free afterwards. Only that port is listened
// to again; the one without frames stays closed.
struct BusyCase {
  const char* name;
  int freed_at_wait;  // 0: held all along
  StartOutcome outcome;
  int waits;
  int junk_opens;
};

class BusyMeterPort : public ::testing::TestWithParam<BusyCase> {};

TEST_P(BusyMeterPort, IsTriedAgainBeforeStartGivesUp) {
  const BusyCase& c = GetParam();
  testing::FakeBus bus;
  bus["/dev/ttyUSB0"].queued = kJunk;
  bus["/dev/ttyUSB1"].refuse = OpenFailure::Busy;
  MeterState s;
  s.LanguageBase = LanguageTable::kEnglish;
  MemoryTrace sink;
  PortTrace trace(sink, [] { return LocalTime{}; });
  SerialPorts ports(bus.devices(), trace);
  Acquisition acq(s, ports);
  struct Driver final : StartDriver {
    Driver(testing::FakeBus& b, int at) : bus(b), freed_at(at) {}
    bool wait_listening() override {
      if (bus["/dev/ttyUSB1"].open) bus["/dev/ttyUSB1"].queued = twice(kBench);
      if (++waits == freed_at) bus["/dev/ttyUSB1"].refuse = OpenFailure::None;
      junk_opens += bus["/dev/ttyUSB0"].open ? 1 : 0;
      return true;
    }
    testing::FakeBus& bus;
    int freed_at;
    int waits = 0;
    int junk_opens = 0;
  } driver(bus, c.freed_at_wait);
  EXPECT_EQ(acq.start(PortMap{{"/dev/ttyUSB0", "/dev/ttyUSB1"}, false}, driver), c.outcome);
  EXPECT_EQ(driver.waits, c.waits);
  EXPECT_EQ(driver.junk_opens, c.junk_opens);
  if (c.outcome == StartOutcome::Acquiring) {
    EXPECT_EQ(s.ActivePort, 2);
    EXPECT_EQ(s.model, MeterModel::ModelTarvo);
  } else {
    EXPECT_EQ(acq.refusals().busy, std::vector<std::string>{"/dev/ttyUSB1"});
    EXPECT_EQ(acq.state(), AcquisitionState::NoMeter);
  }
  acq.stop();
}

INSTANTIATE_TEST_SUITE_P(
    Link, BusyMeterPort,
    ::testing::Values(BusyCase{"FreedAfterTheFirstListen", 1, StartOutcome::Acquiring, 3, 1},
                      BusyCase{"FreedAfterTheThirdListen", 3, StartOutcome::Acquiring, 5, 1},
                      BusyCase{"HeldAllAlong", 0, StartOutcome::NoMeter,
                               1 + Acquisition::kBusyRetries, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OneMeter, StartWithoutFramesFindsNoMeter) {
  struct Silent final : StartDriver {
    bool wait_listening() override { return true; }
  } driver;
  EXPECT_EQ(acq_.start(map_of_cables(), driver), StartOutcome::NoMeter);
  EXPECT_EQ(acq_.state(), AcquisitionState::NoMeter);
}

}  // namespace
}  // namespace tarvo
