#include "scenario_parser.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "decode/meter_family.h"
#include "reading_line.h"
#include "scenario_words.h"

namespace tarvo::sim {

namespace {

constexpr int kMaxJunk = 100000;

[[noreturn]] void fail(const std::string& message) {
  throw std::invalid_argument(message);
}

int frame_size(MeterModel family) {
  return family_of(family)->frame_size;
}

// What earlier lines decided for the lines below them.
struct ParseState {
  MeterModel family = kDefaultFamily;
  Duration interval = kDefaultFrameInterval;
  // Family of the latest reading line; a partial frame cuts one of its frames.
  std::optional<MeterModel> reading_family;
};

using Words = std::span<const std::string_view>;

void expect_arguments(Words words, std::size_t low, std::size_t high) {
  const std::size_t given = words.size() - 1;
  if (given < low) fail("\"" + std::string(words[0]) + "\" needs more words");
  if (given > high) fail("unexpected \"" + std::string(words[high + 1]) + "\"");
}

std::optional<Step> family_line(Words w, ParseState& state) {
  expect_arguments(w, 1, 1);
  for (const MeterFamily& family : meter_families()) {
    if (same_word(w[1], family.name)) {
      state.family = family.model;
      return std::nullopt;
    }
  }
  fail("the family is " + family_names() + ", not \"" + std::string(w[1]) + "\"");
}

std::optional<Step> every_line(Words w, ParseState& state) {
  expect_arguments(w, 1, 1);
  state.interval = parse_duration(w[1]);
  return std::nullopt;
}

std::optional<Step> junk_line(Words w, ParseState&) {
  expect_arguments(w, 1, 1);
  return JunkStep{parse_count(w[1], 1, kMaxJunk, "the junk byte count")};
}

std::optional<Step> partial_line(Words w, ParseState& state) {
  expect_arguments(w, 0, 1);
  if (!state.reading_family)
    fail("\"partial\" cuts a frame of the reading above it; there is none");
  const int size = frame_size(*state.reading_family);
  const int count =
      w.size() > 1 ? parse_count(w[1], 1, size - 1, "the partial byte count") : size / 2;
  return PartialStep{count, state.interval};
}

std::optional<Step> silence_line(Words w, ParseState&) {
  expect_arguments(w, 1, 1);
  return SilenceStep{parse_duration(w[1])};
}

std::optional<Step> bytes_line(Words w, ParseState&) {
  expect_arguments(w, 1, w.size());
  RawStep raw;
  for (const std::string_view word : w.subspan(1)) parse_hex_bytes(word, raw.bytes);
  return raw;
}

std::optional<Step> stop_line(Words w, ParseState&) {
  expect_arguments(w, 0, 0);
  return StopStep{};
}

std::optional<Step> hangup_line(Words w, ParseState&) {
  expect_arguments(w, 0, 0);
  return HangUpStep{};
}

struct Directive {
  std::string_view word;
  std::optional<Step> (*parse)(Words, ParseState&);
};

constexpr Directive kDirectives[] = {
    {"family", family_line},   {"every", every_line},     {"junk", junk_line},
    {"partial", partial_line}, {"silence", silence_line}, {"bytes", bytes_line},
    {"stop", stop_line},       {"hangup", hangup_line},
};

std::optional<Step> parse_line(Words words, ParseState& state) {
  for (const Directive& d : kDirectives) {
    if (same_word(words[0], d.word)) return d.parse(words, state);
  }
  ReadingStep reading = parse_reading_line(words, state.family, state.interval);
  state.reading_family = state.family;
  return reading;
}

}  // namespace

ScenarioError::ScenarioError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

Scenario parse_scenario(std::string_view text, MeterModel family) {
  Scenario scenario;
  ParseState state;
  state.family = family;
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const auto end = text.find('\n');
    const std::vector<std::string_view> words = split_words(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (words.empty()) continue;
    try {
      if (auto step = parse_line(words, state)) scenario.steps.push_back(std::move(*step));
    } catch (const std::invalid_argument& e) {
      throw ScenarioError(line_number, e.what());
    }
  }
  if (scenario.steps.empty()) throw ScenarioError(line_number, "the scenario sends nothing");
  return scenario;
}

}  // namespace tarvo::sim
