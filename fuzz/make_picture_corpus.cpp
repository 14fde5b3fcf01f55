// Writes the picture fuzz target's seed corpus into the directory given: small PNG, JPEG,
// GIF and BMP files of the kinds people print, and damaged ones. Each begins with the
// byte that picks the paper and the conversion (fuzz_picture.cpp).
//   make_picture_corpus <directory>
#include <QCoreApplication>
#include <QImage>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "graphics/bitmap_maker.h"
#include "graphics/crafted_pictures.h"
#include "graphics/picture_maker.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace zelka::testing;

Bytes Behind(std::uint8_t options, const Bytes& file) {
  Bytes out{options};
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

Bytes Cut(Bytes file, std::size_t length) {
  file.resize(length < file.size() ? length : file.size());
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  QCoreApplication app(argc, argv);  // Qt finds its JPEG writer through it
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  QImage clear(40, 20, QImage::Format_ARGB32);
  clear.fill(qRgba(255, 0, 0, 60));
  const Bytes png = Encode(PhotoLike(64, 32), "png");
  const Bytes jpeg = Encode(PhotoLike(700, 40), "jpeg", 80);
  const std::pair<const char*, Bytes> seeds[] = {
      {"png", Behind(0, png)},
      {"png-57mm-threshold", Behind(3, png)},
      {"png-transparent", Behind(0, Encode(clear, "png"))},
      {"png-grey", Behind(2, Encode(FlatGrey(9, 5, 100), "png"))},
      {"png-cut", Behind(0, Cut(png, png.size() / 2))},
      {"png-huge", Behind(0, PngClaiming(png, 60000, 60000))},
      {"jpeg-wide", Behind(1, jpeg)},
      {"jpeg-cut", Behind(0, Cut(jpeg, jpeg.size() / 2))},
      {"gif", Behind(0, TwoFrameGif())},
      {"gif-uncompressed", Behind(0, MakeGif(40, 20, [](int x, int y) { return static_cast<std::uint8_t>(x * y); }))},
      {"gif-short-codes", Behind(0, MakeGif(40, 20, [](int x, int) { return static_cast<std::uint8_t>(x); }, 300))},
      {"jpeg-progressive-scans", Behind(0, ManyScanJpeg(64, 48, 3, 12))},
      {"jpeg-comments", Behind(0, JpegWithSegments(JpegWithOrientation(Encode(FlatGrey(16, 8, 0), "jpeg"), 6),
                                                   0xFE, Bytes(40, 'x'), 3))},
      {"png-ztxt", Behind(0, PngWithText(Encode(FlatGrey(16, 16, 128), "png"), "zTXt", 2, 5000))},
      {"bmp-rle8-rows", Behind(0, MakeRle8Bitmap(40, 30, [](int x, int r) { return static_cast<std::uint8_t>(x / 5 + r); }, 30))},
      {"bmp-rle8-cut", Behind(0, MakeRle8Bitmap(40, 30, [](int x, int) { return static_cast<std::uint8_t>(x); }, 10, false))},
      {"bmp-24", Behind(0, MakeBitmap({30, 4, 24}))},
      {"bmp-8", Behind(1, MakeBitmap({700, 2, 8}))},
      {"bmp-rle8", Behind(0, MakeBitmap({4, 1, 8, 40, 1}))},
      {"bmp-1", Behind(0, MakeBitmap({64, 3}))},
      {"text", Behind(0, Bytes{'h', 'e', 'l', 'l', 'o'})},
  };
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out || bytes.size() < 2) {
      std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
      return 1;
    }
  }
  return 0;
}
