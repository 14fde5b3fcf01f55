// Whether the first frame of a GIF file is all there. The GIF decoder takes a file cut
// short for whole and leaves the pixels it never got blank, without a word: a coupon
// would print with its lower part missing. Counting the pixels that the frame's LZW
// codes stand for tells it: each code stands for a string whose length is known from the
// code table, without decoding a pixel.
//
// Toolkit-free; nothing here trusts a length of the file.
#pragma once

#include <cstdint>
#include <span>

namespace zelka::graphics {

// Whether `gif` (which starts with "GIF87a" or "GIF89a") holds a first frame whose coded
// data cover all of its width × height pixels. False for a file that ends before the
// frame or within it, whose codes stop early (an end code, or a code the table does not
// have), or that has no frame.
bool GifFirstFrameComplete(std::span<const std::uint8_t> gif);

}  // namespace zelka::graphics
