#include "decode_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "hex_chunk.h"

namespace tarvo::cli {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = run_decode(args, in, out, err);
  return {status, out.str(), err.str()};
}

constexpr const char* kTestFrameLine =
    R"({"decoded":true,"Func_Name":"ACV","Sub_Func_Name":"","Main_Range":"ACV AUTO 5.0000 V",)"
    R"("Sub_range":"  ","Main_No":"0.4254","Sub_No":"","is_Main_OL":false,"is_Sub_OL":false,)"
    R"("is_HOLD":false,"is_AUTO":true,"is_REL":false,"is_Sub_dBm":false,"is_Sub_FRE":false,)"
    R"("is_Sub_DUT":false,"Stat_Mode":0,"rx":"",)"
    R"("lcd":{"lit":[1,8,20,29,55],"LBL_MAIN_NO":"0.4254","LBL_SUB_NO":"",)"
    R"("LBL_SUB_NO_visible":false,"LBL_Range":null},)"
    R"("readout":{"mainno":"0.4254","scale":5,"NeedleAngle":794,"tip":[181,16],"foot":[171,145]},)"
    R"("value":0.4254,"unit":"V","base_value":0.4254,"base_unit":"V"})"
    "\n";

TEST(DecodeCommand, PrintsTheReadingAsOneJsonLine) {
  const Outcome r = run({"--language", "1", "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kTestFrameLine);
  EXPECT_EQ(r.err, "");
}

TEST(DecodeCommand, BufferAndReadingCarryOverBetweenChunks) {
  // A partial frame, then its rest followed by the start of the next one.
  const Outcome r = run({"--language=1", "a1-01-31-20-01-02-03", "04050000000600A000"});
  ASSERT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_NE(first.find(R"("decoded":false)"), std::string::npos);
  EXPECT_NE(first.find(R"("Main_Range":"")"), std::string::npos);
  EXPECT_NE(first.find(R"("rx":"A1 01 31 20 01 02 03","value":null,"unit":"",)"
                       R"("base_value":null,"base_unit":null})"),
            std::string::npos);
  EXPECT_NE(second.find(R"("Main_Range":"DCV AUTO 50.000 V","Sub_range":"FRE 9.9999 KHz")"),
            std::string::npos);
  EXPECT_NE(second.find(R"("Main_No":"-12.345")"), std::string::npos);
  EXPECT_NE(second.find(R"("rx":"A0 00","lcd":)"), std::string::npos);
}

TEST(DecodeCommand, ReadsChunksFromStandardInput) {
  const Outcome r = run({"--family", "compact", "--decimal-separator", ",", "--language", "4"},
                        "A0 00 10 00 04 02 05 04\nA4 0A 10 00 01 02 03 04\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(R"("Main_Range":"ACV AUTO 5,0000 V","Sub_range":"","Main_No":"0,4254")"),
            std::string::npos);
  EXPECT_NE(r.out.find("\"Main_Range\":\"OHM AUTO 5,0000 M\u03A9\""), std::string::npos);
}

TEST(DecodeCommand, MalformedChunkIsReportedAndSkipped) {
  const Outcome r = run({"--language", "1", "A0 0", "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, kTestFrameLine);
  EXPECT_EQ(r.err, "tarvo-cli decode: not hexadecimal byte pairs: \"A0 0\"\n");
}

std::vector<std::string> output_lines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The keys after "rx" without their closing brace; empty when there are none.
std::string after_rx(const std::string& line) {
  const std::string rx_key = R"("rx":")";
  const std::size_t rx = line.find(rx_key);
  if (rx == std::string::npos) return "<no rx>";
  const std::size_t end = line.find('"', rx + rx_key.size());
  return line.compare(end + 1, 1, ",") == 0 ? line.substr(end + 2, line.size() - end - 3) : "";
}

// The panel keys follow the reading of a decoded chunk only, and carry the
// needle over a reading whose range does not convert, as the window does.
TEST(DecodeCommand, DecodedChunksTellWhatTheLowerPanelShows) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> tails;  // each line's keys after "rx"
  };
  const Case cases[] = {
      {{"--language", "1", "A0 00 20 00 00 04 02 05 04 00 00 00 5B 00", "A0 00 30",
        "A7 00 30 00 00 04 02 05 04 00 00 00 5B 00"},
       {R"("lcd":{"lit":[1,9,20,29,55],"LBL_MAIN_NO":"0.4254","LBL_SUB_NO":"",)"
        R"("LBL_SUB_NO_visible":false,"LBL_Range":"5.0000"},)"
        R"("readout":{"mainno":"0.4254","scale":5,"NeedleAngle":794,"tip":[181,16],)"
        R"("foot":[171,145]},"value":0.4254,"unit":"V","base_value":0.4254,"base_unit":"V")",
        R"("value":null,"unit":"","base_value":null,"base_unit":null)",
        R"("lcd":{"lit":[1,8,20,24,29,55],"LBL_MAIN_NO":"4254","LBL_SUB_NO":"",)"
        R"("LBL_SUB_NO_visible":false,"LBL_Range":null},)"
        R"("readout":{"mainno":"4254","scale":0,"NeedleAngle":null,"tip":[181,16],)"
        R"("foot":[171,145]},"value":4254.0,"unit":"V","base_value":4254.0,"base_unit":"V")"}},
      {{"--language", "1", "A7 00 30 00 00 04 02 05 04 00 00 00 5B 00"},
       {R"("lcd":{"lit":[1,8,20,24,29,55],"LBL_MAIN_NO":"4254","LBL_SUB_NO":"",)"
        R"("LBL_SUB_NO_visible":false,"LBL_Range":null},)"
        R"("readout":{"mainno":"4254","scale":0,"NeedleAngle":null,"tip":null,"foot":null},)"
        R"("value":4254.0,"unit":"V","base_value":4254.0,"base_unit":"V")"}},
      {{"--language", "1", "A1 01 31 20 01 02 03 04 05 00 00 00 06 00"},
       {R"("lcd":{"lit":[1,8,22,23,29,55,59,60],"LBL_MAIN_NO":"12.345","LBL_SUB_NO":"0.0060",)"
        R"("LBL_SUB_NO_visible":true,"LBL_Range":null},)"
        R"("readout":{"mainno":"-12.345","scale":5,"NeedleAngle":-2305,"tip":[120,20],)"
        R"("foot":[146,145]},"value":-12.345,"unit":"V","base_value":-12.345,"base_unit":"V")"}},
      {{"--family", "compact", "--decimal-separator", ",", "--language", "1",
        "A0 01 30 00 00 04 07 07"},
       {R"("lcd":{"lit":[8,23,55,63,64],"LBL_MAIN_NO":"4,77","LBL_SUB_NO":"",)"
        R"("LBL_SUB_NO_visible":false,"LBL_Range":null},)"
        R"("readout":{"mainno":"-4,77","scale":10,"NeedleAngle":-445,"tip":[157,15],)"
        R"("foot":[161,145]},"value":-4.77,"unit":"dBm","base_value":-4.77,"base_unit":"dBm")"}},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = output_lines(r.out);
    ASSERT_EQ(lines.size(), c.tails.size()) << r.out;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      EXPECT_EQ(after_rx(lines[k]), c.tails[k]) << c.args.back() << ", line " << k + 1;
    }
  }
}

TEST(DecodeCommand, BadOptionsExitWithStatusTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--family", "desk"},
                                                                {"--language", "6"},
                                                                {"--language", "x"},
                                                                {"--decimal-separator", ""},
                                                                {"--family"},
                                                                {"--colour", "red"}}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

TEST(HexChunk, AcceptsPairsWithOptionalSeparators) {
  struct Case {
    const char* text;
    std::optional<std::vector<std::uint8_t>> bytes;
  };
  const Case cases[] = {
      {"A0 00 5b", std::vector<std::uint8_t>{0xA0, 0x00, 0x5B}},
      {"a0-00-5B", std::vector<std::uint8_t>{0xA0, 0x00, 0x5B}},
      {"A0005B", std::vector<std::uint8_t>{0xA0, 0x00, 0x5B}},
      {"", std::vector<std::uint8_t>{}},
      {"A", std::nullopt},
      {"A 0", std::nullopt},
      {"G0", std::nullopt},
      {"A0,00", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parse_hex_chunk(c.text), c.bytes) << c.text;
}

TEST(HexChunk, DumpsUpperCasePairs) {
  EXPECT_EQ(hex_dump(std::vector<std::uint8_t>{0xA0, 0x00, 0x5B}), "A0 00 5B");
  EXPECT_EQ(hex_dump({}), "");
}

}  // namespace
}  // namespace tarvo::cli
