// Pictures made on the spot with QImage and encoded by Qt's writers, for the tests of the
// conversion: no binary files in the tree.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

namespace zelka::testing {

// `image` as a file of `format` ("png", "jpeg", "bmp"); empty when Qt cannot write it.
inline std::vector<std::uint8_t> Encode(const QImage& image, const char* format,
                                        int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format, quality)) return {};
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A flat grey picture.
inline QImage FlatGrey(int width, int height, int grey) {
  QImage image(width, height, QImage::Format_Grayscale8);
  image.fill(qRgb(grey, grey, grey));
  return image;
}

// Something like a photograph: colour gradients across and down, a disc, fine stripes.
inline QImage PhotoLike(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2;
      const int dy = y - height / 2;
      const bool disc = dx * dx + dy * dy < height * height / 16;
      line[x] = disc ? qRgb(20, 20, 200)
                     : qRgb(x * 255 / width, y * 255 / height, (x / 7 + y / 5) % 2 ? 230 : 40);
    }
  }
  return image;
}

// A GIF of two 1 × 1 frames with the palette black, white: the first frame black, the
// second white. (Qt writes no GIF; these are the bytes of one.)
inline std::vector<std::uint8_t> TwoFrameGif() {
  return {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
          0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
          // frame 1: index 0 (LZW: clear, 0, end in 3-bit codes)
          0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01,
          0x00,
          // frame 2: index 1
          0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x4C, 0x01,
          0x00, 0x3B};
}

// CRC-32 of PNG chunks, for headers rewritten by a test.
inline std::uint32_t PngCrc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

// A copy of the PNG `png` whose header claims `width` × `height` (its CRC made right), the
// pixel data left as it was: what a decompression bomb or a damaged file looks like.
inline std::vector<std::uint8_t> PngClaiming(std::vector<std::uint8_t> png, std::uint32_t width,
                                             std::uint32_t height) {
  // Signature (8), IHDR length (4), "IHDR" (4) at 12, width at 16, height at 20, CRC at 29.
  const auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      png[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, PngCrc(png.data() + 12, 17));
  return png;
}

}  // namespace zelka::testing
