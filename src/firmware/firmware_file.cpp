#include "firmware/firmware_file.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

#include "files/regular_file.h"

namespace zelka::firmware {
namespace {

FileProblem ProblemOf(files::FileError error) {
  switch (error) {
    case files::FileError::kNone: return FileProblem::kNone;
    case files::FileError::kDoesNotExist: return FileProblem::kDoesNotExist;
    case files::FileError::kNotRegular: return FileProblem::kNotAFile;
    case files::FileError::kUnreadable: break;
  }
  return FileProblem::kUnreadable;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view signature) {
  return bytes.size() >= signature.size() &&
         std::equal(signature.begin(), signature.end(), bytes.begin(),
                    [](char s, std::uint8_t b) { return static_cast<std::uint8_t>(s) == b; });
}

std::uint32_t LittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// "BM" alone is too weak a sign for an image of any bytes: a bitmap also names its own
// length and has four zero bytes after it.
bool IsBitmap(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kHeaderStart = 10;
  return bytes.size() >= kHeaderStart && StartsWith(bytes, "BM") &&
         LittleEndian32(bytes, 2) == bytes.size() && LittleEndian32(bytes, 6) == 0;
}

}  // namespace

ForeignFormat ForeignFormatOf(std::span<const std::uint8_t> bytes) {
  using namespace std::string_view_literals;
  struct Signature {
    std::string_view bytes;
    ForeignFormat format;
  };
  static constexpr Signature kSignatures[] = {
      {"\x89PNG\r\n\x1A\n"sv, ForeignFormat::kPngPicture},
      {"\xFF\xD8\xFF"sv, ForeignFormat::kJpegPicture},
      {"GIF87a"sv, ForeignFormat::kGifPicture},
      {"GIF89a"sv, ForeignFormat::kGifPicture},
      {"PK\x03\x04"sv, ForeignFormat::kZipArchive},
      {"%PDF-"sv, ForeignFormat::kPdfDocument},
  };
  for (const Signature& signature : kSignatures) {
    if (StartsWith(bytes, signature.bytes)) return signature.format;
  }
  return IsBitmap(bytes) ? ForeignFormat::kBmpPicture : ForeignFormat::kNone;
}

FirmwareFileRead ReadFirmwareFile(const std::string& utf8Path, FirmwareImage& image) {
  image.bytes.clear();
  FirmwareFileRead read;
  files::RegularFile file;
  read.problem = ProblemOf(file.Open(utf8Path));
  if (read.problem != FileProblem::kNone) return read;
  read.length = file.Length();
  // Refused on its length alone: nothing of a file the flash cannot take is read.
  if (read.length > kMaxImageBytes) {
    read.problem = FileProblem::kTooLarge;
    return read;
  }
  if (read.length == 0) {
    read.problem = FileProblem::kEmpty;
    return read;
  }
  image.bytes.resize(static_cast<std::size_t>(read.length));
  // One byte more than the length asks whether the file grew while it was read: what was
  // read might then be half of the old content and half of the new.
  std::array<std::uint8_t, 1> beyond{};
  if (!file.Read(image.bytes) || file.Read(beyond)) {
    image.bytes.clear();
    read.problem = FileProblem::kUnreadable;
    return read;
  }
  read.foreign = ForeignFormatOf(image.bytes);
  if (read.foreign != ForeignFormat::kNone) {
    image.bytes.clear();
    read.problem = FileProblem::kForeign;
  }
  return read;
}

}  // namespace zelka::firmware
