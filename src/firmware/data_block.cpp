#include "firmware/data_block.h"

#include <algorithm>
#include <numeric>

namespace zelka::firmware {

Byte BlockSum(std::span<const Byte, kBlockDataBytes> data) {
  return static_cast<Byte>(std::accumulate(data.begin(), data.end(), 0u));
}

void BuildDataBlock(std::span<const Byte> image, std::size_t index,
                    std::span<Byte, kBlockFrameBytes> frame) {
  const std::size_t first = std::min(index * kBlockDataBytes, image.size());
  const std::size_t taken = std::min(kBlockDataBytes, image.size() - first);
  const auto data = frame.subspan<1, kBlockDataBytes>();
  frame[0] = kBlockStart;
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(first), taken, data.begin());
  std::fill(data.begin() + static_cast<std::ptrdiff_t>(taken), data.end(), kBlockFill);
  frame[kBlockFrameBytes - 1] = BlockSum(data);
}

}  // namespace zelka::firmware
