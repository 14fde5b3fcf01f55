#include "files/regular_file.h"

#include <filesystem>
#include <fstream>

namespace zelka::files {

// Windows has no named pipes in the file system's name space that a file dialog would
// hand over, so the name is checked and the file opened as a stream.
struct RegularFile::Handle {
  std::ifstream stream;
};

RegularFile::~RegularFile() { delete handle_; }

FileError RegularFile::Open(const std::string& name) {
  if (handle_) return FileError::kUnreadable;
  namespace fs = std::filesystem;
  const fs::path path(std::u8string(name.begin(), name.end()));
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) return FileError::kDoesNotExist;
  if (!fs::is_regular_file(status)) return FileError::kNotRegular;
  const auto length = fs::file_size(path, error);
  if (error) return FileError::kUnreadable;
  auto handle = new Handle{std::ifstream(path, std::ios::binary)};
  if (!handle->stream) {
    delete handle;
    return FileError::kUnreadable;
  }
  handle_ = handle;
  length_ = length;
  return FileError::kNone;
}

bool RegularFile::Read(std::span<std::uint8_t> bytes) {
  if (!handle_) return false;
  handle_->stream.read(reinterpret_cast<char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
  return handle_->stream.gcount() == static_cast<std::streamsize>(bytes.size());
}

std::optional<std::size_t> RegularFile::ReadSome(std::span<std::uint8_t> bytes) {
  if (!handle_) return std::nullopt;
  std::ifstream& stream = handle_->stream;
  stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (stream.bad()) return std::nullopt;
  return static_cast<std::size_t>(stream.gcount());
}

}  // namespace zelka::files
