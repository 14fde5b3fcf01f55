// Writes the fuzz target's seed corpus into the directory given: well-formed bitmap files
// of the kinds the program meets, and damaged ones that stop at each of its checks.
//   make_bitmap_corpus <directory>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "graphics/bitmap_maker.h"

namespace {

using zelka::testing::BitmapShape;
using zelka::testing::MakeBitmap;
using Bytes = std::vector<std::uint8_t>;

Bytes Set32(Bytes file, std::size_t at, std::uint32_t value) {
  zelka::testing::PutLe32(file, at, value);
  return file;
}

Bytes Cut(Bytes file, std::size_t length) {
  file.resize(length < file.size() ? length : file.size());
  return file;
}

// The file followed by printer commands that its size field leaves out: a parameter
// write, a drawer kick and the bootloader's entry.
Bytes CommandsBehind(Bytes file) {
  file.insert(file.end(), {0x1F, 0x03, 0x08, 0x01, 0x1B, 0x70, 0x30, 0x96, 0x96, 0x00, 0x6B,
                           0x52, 0x5F, 0x75, 0x57});
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);

  const Bytes wide = MakeBitmap({576, 2});
  const std::pair<const char*, Bytes> seeds[] = {
      {"576x2", wide},
      {"384x3", MakeBitmap({384, 3})},
      {"100x3", MakeBitmap({100, 3})},
      {"6x4", MakeBitmap({6, 4})},
      {"1x1", MakeBitmap({1, 1})},
      {"top-down", MakeBitmap({16, -5})},
      {"header124", MakeBitmap({40, 3, 1, 124})},
      {"24bit", MakeBitmap({5, 2, 24})},
      {"8bit", MakeBitmap({9, 2, 8})},
      {"rle8", MakeBitmap({4, 1, 8, 40, 1})},
      {"2048wide", MakeBitmap({2048, 1})},
      {"rows-past-end", Set32(wide, 22, 3)},
      {"offset-past-end", Set32(wide, 10, 4000)},
      {"offset-in-header", Set32(wide, 10, 20)},
      {"negative-width", Set32(wide, 18, 0xFFFFFDC0)},
      {"height-min", Set32(wide, 22, 0x80000000)},
      {"core-header", Set32(wide, 14, 12)},
      {"huge-header", Set32(wide, 14, 0xFFFFFFFF)},
      {"cut-header", Cut(wide, 30)},
      {"file-header-only", Cut(wide, 14)},
      {"not-bmp", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}},
      {"7x3", MakeBitmap({7, 3})},
      {"8x3", MakeBitmap({8, 3})},
      {"size-field-larger", Set32(wide, 2, 4000)},
      {"size-field-zero", Set32(wide, 2, 0)},
      {"commands-behind-logo", CommandsBehind(MakeBitmap({1, 1}))},
  };
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
      return 1;
    }
  }
  return 0;
}
