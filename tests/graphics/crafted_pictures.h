// Hostile and damaged pictures made on the spot, for the tests, the benchmark of the
// decoders' cost and the fuzz corpus: progressive JPEGs of many scans over a large frame,
// PNGs carrying compressed text, GIFs (which Qt cannot write) and run-length-encoded
// bitmaps, whole or cut short. Header-only; Qt Core for zlib (qCompress).
#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/bitmap_maker.h"
#include "graphics/picture_maker.h"

namespace zelka::testing {

// Bits of a JPEG scan, most significant first, with a 00 stuffed after every FF byte.
class JpegBitWriter {
 public:
  void Put(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) {
      byte_ = static_cast<std::uint8_t>(byte_ << 1 | ((code >> i) & 1u));
      if (++bits_ == 8) Flush();
    }
  }
  // The scan's bytes, the last one padded with 1 bits.
  std::vector<std::uint8_t> Finish() {
    while (bits_ != 0) Put(1, 1);
    return std::move(out_);
  }

 private:
  void Flush() {
    out_.push_back(byte_);
    if (byte_ == 0xFF) out_.push_back(0x00);
    byte_ = 0;
    bits_ = 0;
  }
  std::vector<std::uint8_t> out_;
  std::uint8_t byte_ = 0;
  int bits_ = 0;
};

inline void PutSegment(std::vector<std::uint8_t>& out, std::uint8_t marker,
                       const std::vector<std::uint8_t>& body) {
  const std::size_t length = body.size() + 2;
  out.insert(out.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8),
                         static_cast<std::uint8_t>(length)});
  out.insert(out.end(), body.begin(), body.end());
}

// A progressive JPEG of `width` × `height` with `components` components (1 grey, 3 YCbCr,
// 4 CMYK), none subsampled, in `scans` scans: one DC scan of every block (all zero), then
// AC scans of one component each that say, in runs of end-of-band codes, that every block
// has nothing more. Legal enough for the decoder, which warns of a bogus progression and
// goes on; every scan makes it visit every block of its component once more. 8000 × 6000
// grey with 20,000 scans is about 1.2 MB.
inline std::vector<std::uint8_t> ManyScanJpeg(std::uint16_t width, std::uint16_t height,
                                              int components, int scans) {
  std::vector<std::uint8_t> out{0xFF, 0xD8};
  std::vector<std::uint8_t> quant{0x00};
  quant.resize(65, 1);
  PutSegment(out, 0xDB, quant);
  std::vector<std::uint8_t> frame{8, static_cast<std::uint8_t>(height >> 8),
                                  static_cast<std::uint8_t>(height),
                                  static_cast<std::uint8_t>(width >> 8),
                                  static_cast<std::uint8_t>(width),
                                  static_cast<std::uint8_t>(components)};
  for (int c = 1; c <= components; ++c) frame.insert(frame.end(), {static_cast<std::uint8_t>(c), 0x11, 0});
  PutSegment(out, 0xC2, frame);
  // DC table 0: the one symbol 0 (no difference) as the code "0". AC table 0: the 15
  // end-of-band runs E0, D0 .. 00 (runs of 2^r blocks plus r bits) as 4-bit codes 0..14.
  std::vector<std::uint8_t> tables{0x00, 1};
  tables.resize(tables.size() + 15, 0);
  tables.push_back(0x00);
  tables.insert(tables.end(), {0x10, 0, 0, 0, 15});
  tables.resize(tables.size() + 12, 0);
  for (int r = 14; r >= 0; --r) tables.push_back(static_cast<std::uint8_t>(r << 4));
  PutSegment(out, 0xC4, tables);

  const std::size_t blocks = static_cast<std::size_t>((width + 7) / 8) * ((height + 7) / 8);
  std::vector<std::uint8_t> dcScan{static_cast<std::uint8_t>(components)};
  for (int c = 1; c <= components; ++c) dcScan.insert(dcScan.end(), {static_cast<std::uint8_t>(c), 0x00});
  dcScan.insert(dcScan.end(), {0, 0, 0x00});
  PutSegment(out, 0xDA, dcScan);
  JpegBitWriter dc;
  for (std::size_t i = 0; i < blocks * static_cast<std::size_t>(components); ++i) dc.Put(0, 1);
  const std::vector<std::uint8_t> dcData = dc.Finish();
  out.insert(out.end(), dcData.begin(), dcData.end());

  JpegBitWriter ac;
  for (std::size_t left = blocks; left > 0;) {
    const std::size_t run = std::min<std::size_t>(left, 32767);
    int r = 0;
    while ((std::size_t{2} << r) <= run) ++r;
    ac.Put(static_cast<std::uint32_t>(14 - r), 4);
    ac.Put(static_cast<std::uint32_t>(run - (std::size_t{1} << r)), r);
    left -= run;
  }
  const std::vector<std::uint8_t> acData = ac.Finish();
  for (int s = 1; s < scans; ++s) {
    const auto component = static_cast<std::uint8_t>(1 + (s - 1) % components);
    PutSegment(out, 0xDA, {1, component, 0x00, 1, 63, 0x00});
    out.insert(out.end(), acData.begin(), acData.end());
  }
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

// `jpeg` with `count` segments `marker` (FE a comment, E0..EF application data) holding
// `body` (at most 65533 bytes) after its start marker.
inline std::vector<std::uint8_t> JpegWithSegments(const std::vector<std::uint8_t>& jpeg,
                                                  std::uint8_t marker,
                                                  const std::vector<std::uint8_t>& body,
                                                  std::size_t count) {
  std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  for (std::size_t i = 0; i < count; ++i) PutSegment(out, marker, body);
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// `jpeg` with an Exif segment after its start marker that says the camera was turned:
// `orientation` 6 for a picture to be turned a quarter clockwise to be seen upright.
inline std::vector<std::uint8_t> JpegWithOrientation(const std::vector<std::uint8_t>& jpeg,
                                                     std::uint8_t orientation) {
  return JpegWithSegments(jpeg, 0xE1,
                          {'E', 'x', 'i', 'f', 0, 0,
                           'M', 'M', 0, 42, 0, 0, 0, 8,  // big-endian TIFF, directory at 8
                           0, 1,  // one entry: the orientation, a 16-bit number
                           0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, orientation, 0, 0,
                           0, 0, 0, 0},  // no further directory
                          1);
}

// One PNG chunk: length, type, data, CRC.
inline std::vector<std::uint8_t> PngChunk(const char* type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> chunk;
  for (int i = 3; i >= 0; --i) chunk.push_back(static_cast<std::uint8_t>(data.size() >> (8 * i)));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  const std::uint32_t crc = PngCrc(chunk.data() + 4, chunk.size() - 4);
  for (int i = 3; i >= 0; --i) chunk.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  return chunk;
}

// `png` with `count` chunks of `type` ("zTXt", "iTXt" or "tEXt") after its header chunk,
// each holding `textBytes` bytes of text: compressed (zTXt, iTXt) a few kB of the file
// each whatever their size.
inline std::vector<std::uint8_t> PngWithText(const std::vector<std::uint8_t>& png,
                                             const std::string& type, std::size_t count,
                                             std::size_t textBytes) {
  std::vector<std::uint8_t> data{'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
  const QByteArray text(static_cast<qsizetype>(textBytes), 'a');
  QByteArray body = text;
  if (type == "zTXt") {
    data.push_back(0);  // deflate
    body = qCompress(text, 9).mid(4);  // without Qt's length prefix: a zlib stream
  } else if (type == "iTXt") {
    data.insert(data.end(), {1, 0, 0, 0});  // compressed, deflate, no language or keyword
    body = qCompress(text, 9).mid(4);
  }
  data.insert(data.end(), body.begin(), body.end());
  const std::vector<std::uint8_t> chunk = PngChunk(type.c_str(), data);
  constexpr std::size_t kAfterHeader = 8 + 25;  // signature, IHDR
  std::vector<std::uint8_t> out(png.begin(), png.begin() + kAfterHeader);
  for (std::size_t i = 0; i < count; ++i) out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), png.begin() + kAfterHeader, png.end());
  return out;
}

// A GIF of one frame, `width` × `height`, 256 greys, pixel (x, y) of grey `grey(x, y)`.
// LZW-coded without compression: every pixel a code of 9 bits, a clear code every 200 so
// that the code table never outgrows 9 bits. Only the first `pixelsCoded` pixels are
// coded before the end code (all of them unless given).
inline std::vector<std::uint8_t> MakeGif(std::uint16_t width, std::uint16_t height,
                                         const std::function<std::uint8_t(int, int)>& grey,
                                         long pixelsCoded = -1) {
  std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a',
                                static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                                static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
                                0xF7, 0, 0};
  for (int i = 0; i < 256; ++i) out.insert(out.end(), 3, static_cast<std::uint8_t>(i));
  out.insert(out.end(), {0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(width),
                         static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(height),
                         static_cast<std::uint8_t>(height >> 8), 0, 8});
  constexpr std::uint32_t kClear = 256, kEnd = 257;
  std::vector<std::uint8_t> codes;
  std::uint32_t acc = 0;
  int bits = 0;
  const auto put = [&](std::uint32_t code) {
    acc |= code << bits;
    for (bits += 9; bits >= 8; bits -= 8, acc >>= 8) codes.push_back(static_cast<std::uint8_t>(acc));
  };
  int sinceClear = 200;
  if (pixelsCoded < 0) pixelsCoded = long{width} * height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width && long{y} * width + x < pixelsCoded; ++x) {
      if (sinceClear == 200) {
        put(kClear);
        sinceClear = 0;
      }
      put(grey(x, y));
      ++sinceClear;
    }
  }
  put(kEnd);
  if (bits > 0) codes.push_back(static_cast<std::uint8_t>(acc));
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
               codes.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  out.insert(out.end(), {0x00, 0x3B});
  return out;
}

// An 8-bit bitmap compressed with RLE8, `width` × `height` (bottom row first), pixel
// (x, stored row r) of palette index `index(x, r)`, each row runs of equal pixels and an
// end-of-line code, then the end-of-bitmap code. Only the first `rowsWritten` stored rows
// are written, the end-of-bitmap code after them when `endCode`: the data of a file cut
// short, with the file's size fields telling its real length.
inline std::vector<std::uint8_t> MakeRle8Bitmap(std::int32_t width, std::int32_t height,
                                                const std::function<std::uint8_t(int, int)>& index,
                                                std::int32_t rowsWritten, bool endCode = true) {
  std::vector<std::uint8_t> file = MakeBitmap({width, 1, 8});  // headers and palette
  const std::size_t offset = PixelOffsetOf({width, 1, 8});
  file.resize(offset);
  PutLe32(file, 22, static_cast<std::uint32_t>(height));
  PutLe32(file, 30, 1);  // BI_RLE8
  for (int r = 0; r < rowsWritten; ++r) {
    for (int x = 0; x < width;) {
      const std::uint8_t value = index(x, r);
      int run = 1;
      while (x + run < width && run < 255 && index(x + run, r) == value) ++run;
      file.insert(file.end(), {static_cast<std::uint8_t>(run), value});
      x += run;
    }
    file.insert(file.end(), {0, 0});
  }
  if (endCode) file.insert(file.end(), {0, 1});
  PutLe32(file, 2, static_cast<std::uint32_t>(file.size()));
  PutLe32(file, 34, static_cast<std::uint32_t>(file.size() - offset));
  return file;
}

}  // namespace zelka::testing
