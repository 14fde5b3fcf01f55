// The hidden sample shop receipt (a button below the window's client area): three frames
// of raw bytes, the text already in code page 866, sent without any width limit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>


namespace zelka::service {

inline constexpr std::size_t kSampleReceiptFrameCount = 3;
using SampleReceipt = std::array<std::vector<std::uint8_t>, kSampleReceiptFrameCount>;

// ESC 3 105; the owner block (116 bytes); the body (558 bytes). Lines end in LF only.
SampleReceipt SampleReceiptFrames();

}  // namespace zelka::service
