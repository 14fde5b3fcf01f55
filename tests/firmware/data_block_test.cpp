// The image cut into data blocks: STX, 256 bytes with 0xFF fill, the sum of the 256.
#include "firmware/data_block.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

namespace zelka::firmware {
namespace {

using Bytes = std::vector<Byte>;

Bytes Counting(std::size_t length) {
  Bytes image(length);
  std::iota(image.begin(), image.end(), Byte{0});
  return image;
}

Bytes WithLast(Bytes image, Byte last) {
  image.back() = last;
  return image;
}

TEST(DataBlockTest, LayoutFillAndSum) {
  struct Case {
    const char* what;
    Bytes image;
    std::size_t index;
    std::size_t dataBytes;  // image bytes in the block; the rest is fill
    Byte sum;
  };
  const Bytes fullOfFF(256, 0xFF);
  const Case cases[] = {
      {"three bytes and 253 fill bytes", {0x01, 0x02, 0x03}, 0, 3, 0x09},
      {"256 bytes 0xFF", fullOfFF, 0, 256, 0x00},
      {"second of two whole blocks: no fill", Counting(512), 1, 256, 0x80},
      {"the one byte past whole blocks", WithLast(Counting(513), 0x42), 2, 1, 0x43},
      {"a sum that wraps: 256 x 0x80", Bytes(256, 0x80), 0, 256, 0x00},
      {"a sum that wraps: 255 x 0x01 and one fill byte", Bytes(255, 0x01), 0, 255, 0xFE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::array<Byte, kBlockFrameBytes> frame;
    frame.fill(0xAA);  // what the transmit buffer held before
    BuildDataBlock(c.image, c.index, frame);
    EXPECT_EQ(frame[0], 0x02);
    const std::size_t first = c.index * 256;
    for (std::size_t i = 0; i < 256; ++i) {
      const Byte expected = i < c.dataBytes ? c.image[first + i] : Byte{0xFF};
      ASSERT_EQ(frame[1 + i], expected) << "data byte " << i;
    }
    EXPECT_EQ(frame[257], c.sum);
  }
}

TEST(DataBlockTest, BlockCountRoundsUp) {
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 0}, {1, 1}, {255, 1}, {256, 1}, {257, 2}, {512, 2}, {513, 3}, {700000, 2735}};
  for (const auto& [bytes, blocks] : cases) EXPECT_EQ(BlockCount(bytes), blocks) << bytes;
}

}  // namespace
}  // namespace zelka::firmware
