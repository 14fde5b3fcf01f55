#include "firmware/firmware_file.h"

#include <fstream>
#include <system_error>

namespace zelka::firmware {

std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

bool IsExistingFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::optional<std::uintmax_t> FileLength(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t length = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  return length;
}

std::uint8_t ReadBoardVersion(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file || !file.seekg(-1, std::ios::end)) return 0;
  char last = 0;
  if (!file.get(last)) return 0;
  return static_cast<std::uint8_t>(last);
}

ImageRead ReadImage(const std::filesystem::path& path, std::size_t capacity,
                    std::vector<std::uint8_t>& image) {
  image.clear();
  // The length from the file system: a folder or a device has none a stream would tell.
  const std::optional<std::uintmax_t> length = FileLength(path);
  if (!length) return ImageRead::Unreadable;
  if (*length > capacity) return ImageRead::TooLarge;
  std::ifstream file(path, std::ios::binary);
  if (!file) return ImageRead::Unreadable;
  image.resize(static_cast<std::size_t>(*length));
  const auto wanted = static_cast<std::streamsize>(image.size());
  // One byte more than the length asks whether the file grew since it was measured.
  file.read(reinterpret_cast<char*>(image.data()), wanted);
  const bool whole = file.gcount() == wanted && file.peek() == std::char_traits<char>::eof();
  if (!whole) {
    image.clear();
    return ImageRead::Unreadable;
  }
  return ImageRead::Ok;
}

}  // namespace zelka::firmware
