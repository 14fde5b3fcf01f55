#include "sim/render/qr_symbol.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace zelka::sim {
namespace {

// Version 0: the smallest version that holds the data.
constexpr int kAnyVersion = 0;
constexpr unsigned char kDarkModuleBit = 0x01;  // libqrencode marks dark modules in bit 0

QRecLevel LibraryLevel(QrErrorCorrection level) {
  switch (level) {
    case QrErrorCorrection::M: return QR_ECLEVEL_M;
    case QrErrorCorrection::Q: return QR_ECLEVEL_Q;
    case QrErrorCorrection::H: return QR_ECLEVEL_H;
    case QrErrorCorrection::L: break;
  }
  return QR_ECLEVEL_L;
}

}  // namespace

QImage BuildQrSymbol(std::span<const std::uint8_t> data, int moduleDots, QrErrorCorrection level) {
  if (data.empty() || moduleDots <= 0) return {};
  // Byte mode, as the printer stores the data: any byte is allowed, zero included.
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeData(static_cast<int>(data.size()), data.data(), kAnyVersion, LibraryLevel(level)),
      &QRcode_free);
  if (!code) return {};
  const int side = code->width * moduleDots;
  QImage image(side, side, QImage::Format_Grayscale8);
  image.fill(255);
  for (int my = 0; my < code->width; ++my) {
    for (int mx = 0; mx < code->width; ++mx) {
      if (!(code->data[my * code->width + mx] & kDarkModuleBit)) continue;
      for (int y = 0; y < moduleDots; ++y) {
        uchar* row = image.scanLine(my * moduleDots + y);
        std::fill_n(row + mx * moduleDots, moduleDots, uchar{0});
      }
    }
  }
  return image;
}

}  // namespace zelka::sim
