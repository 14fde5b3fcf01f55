// The image cut into the bootloader's data blocks.
#pragma once

#include <cstddef>
#include <span>

#include "firmware/bootloader_protocol.h"

namespace zelka::firmware {

// Blocks needed for an image of `imageBytes` bytes: the last one may be partly fill.
constexpr std::size_t BlockCount(std::size_t imageBytes) {
  return (imageBytes + kBlockDataBytes - 1) / kBlockDataBytes;
}

// The sum the bootloader checks: the 256 data bytes, fill included, modulo 256.
Byte BlockSum(std::span<const Byte, kBlockDataBytes> data);

// Writes block `index` of `image` into `frame`: STX, the block's 256 bytes with 0xFF past
// the image's end, and their sum. `index` must be below BlockCount(image.size()).
void BuildDataBlock(std::span<const Byte> image, std::size_t index,
                    std::span<Byte, kBlockFrameBytes> frame);

}  // namespace zelka::firmware
