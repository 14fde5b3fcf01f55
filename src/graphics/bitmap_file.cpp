#include "graphics/bitmap_file.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace zelka::graphics {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& name) {
  return fs::path(std::u8string(name.begin(), name.end()));
}

// False for anything but a regular file whose length can be had.
bool RegularFileLength(const fs::path& path, std::uint64_t& length) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || error) return false;
  length = fs::file_size(path, error);
  return !error;
}

bool ReadInto(const fs::path& path, std::span<std::uint8_t> bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file.gcount() == static_cast<std::streamsize>(bytes.size());
}

}  // namespace

bool BitmapFileExists(const std::string& name) {
  std::error_code error;
  return fs::exists(PathOf(name), error) && !error;
}

BitmapError LoadBitmap(const std::string& name, BitmapInfo& info) {
  const fs::path path = PathOf(name);
  std::uint64_t length = 0;
  if (!RegularFileLength(path, length)) return BitmapError::kCannotRead;
  std::array<std::uint8_t, kHeaderBytesRead> head{};
  const std::size_t wanted = length < head.size() ? static_cast<std::size_t>(length) : head.size();
  if (!ReadInto(path, std::span(head).first(wanted))) return BitmapError::kCannotRead;
  return ParseBitmapHeader(std::span(head).first(wanted), length, info);
}

FileRead ReadBitmapFile(const std::string& name, std::span<std::uint8_t> buffer) {
  const fs::path path = PathOf(name);
  FileRead result;
  if (!RegularFileLength(path, result.length)) return {BitmapError::kCannotRead, 0};
  if (result.length > buffer.size()) {
    result.error = BitmapError::kTooLarge;
    return result;
  }
  if (!ReadInto(path, buffer.first(static_cast<std::size_t>(result.length)))) {
    result.error = BitmapError::kCannotRead;
  }
  return result;
}

}  // namespace zelka::graphics
