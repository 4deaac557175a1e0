#include "decode/rx_buffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tarvo {
namespace {

std::vector<std::uint8_t> ramp(std::size_t n, std::uint8_t first = 0) {
  std::vector<std::uint8_t> v(n);
  std::iota(v.begin(), v.end(), first);
  return v;
}

std::vector<std::uint8_t> held(const RxBuffer& rx) {
  return {rx.held().begin(), rx.held().end()};
}

TEST(RxBuffer, AppendsBehindHeldBytes) {
  RxBuffer rx;
  rx.append(std::vector<std::uint8_t>{0xA0, 0x01});
  rx.append(std::vector<std::uint8_t>{0x02});
  EXPECT_EQ(held(rx), (std::vector<std::uint8_t>{0xA0, 0x01, 0x02}));
  EXPECT_EQ(rx.RxStart(), 0);
}

TEST(RxBuffer, AppendToEmptyBufferStartsAtIndexZero) {
  RxBuffer rx;
  rx.hold(7, 0);  // a stale start index must not survive an empty buffer
  rx.append(std::vector<std::uint8_t>{0x11, 0x22});
  EXPECT_EQ(rx.RxStart(), 0);
  EXPECT_EQ(rx.storage()[0], 0x11);
  EXPECT_EQ(rx.storage()[1], 0x22);
}

TEST(RxBuffer, OverflowDropsOldestBytesAndKeepsNewest) {
  struct Case {
    const char* name;
    std::size_t before, added;
    std::int32_t expected_count;
    std::uint8_t expected_first;  // ramp value of the oldest byte kept
  };
  const Case cases[] = {
      {"exactly fills", 19200, 4, 19204, 0},
      {"one byte over", 19200, 5, 19204, 1},
      {"poll-sized overflow", 19000, 8192, 19204, static_cast<std::uint8_t>(19000 + 8192 - 19204)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RxBuffer rx;
    const auto all = ramp(c.before + c.added);
    rx.append(std::span(all).first(c.before));
    rx.append(std::span(all).subspan(c.before));
    EXPECT_EQ(rx.RxCount(), c.expected_count);
    EXPECT_EQ(rx.held().front(), c.expected_first);
    EXPECT_EQ(rx.held().back(), all.back());
  }
}

TEST(RxBuffer, ChunkLargerThanBufferKeepsItsLastBytes) {
  RxBuffer rx;
  rx.append(ramp(100));
  const auto big = ramp(RxBuffer::kCapacity + 50, 3);
  rx.append(big);
  ASSERT_EQ(rx.RxCount(), RxBuffer::kCapacity);
  EXPECT_TRUE(std::equal(rx.held().begin(), rx.held().end(), big.end() - RxBuffer::kCapacity));
}

TEST(RxBuffer, KeepTailMovesFollowingBytesToFront) {
  RxBuffer rx;
  rx.append(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6});
  rx.keep_tail(2);
  EXPECT_EQ(held(rx), (std::vector<std::uint8_t>{5, 6}));
  rx.keep_tail(0);
  EXPECT_EQ(rx.RxCount(), 0);
  EXPECT_EQ(rx.RxStart(), 0);
}

TEST(RxBuffer, ClearKeepsContentsButEmptiesIndices) {
  RxBuffer rx;
  rx.append(std::vector<std::uint8_t>{9, 8});
  rx.clear();
  EXPECT_EQ(rx.RxCount(), 0);
  EXPECT_EQ(rx.storage()[0], 9);
}

TEST(RxBuffer, AssignReplacesHeldBytes) {
  RxBuffer rx;
  rx.append(ramp(40));
  rx.assign(std::vector<std::uint8_t>{0xA0, 0x00});
  EXPECT_EQ(held(rx), (std::vector<std::uint8_t>{0xA0, 0x00}));
}

}  // namespace
}  // namespace tarvo
