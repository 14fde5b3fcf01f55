#include "files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zelka::files {

struct RegularFile::Handle {
  int fd = -1;
};

RegularFile::~RegularFile() {
  if (handle_) {
    ::close(handle_->fd);
    delete handle_;
  }
}

FileError RegularFile::Open(const std::string& name) {
  if (handle_) return FileError::kUnreadable;
  // Without blocking: the open of a pipe with no writer would wait for one.
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileError::kDoesNotExist;
    return FileError::kUnreadable;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    ::close(fd);
    return FileError::kUnreadable;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileError::kNotRegular;
  }
  handle_ = new Handle{fd};
  length_ = static_cast<std::uint64_t>(info.st_size);
  return FileError::kNone;
}

bool RegularFile::Read(std::span<std::uint8_t> bytes) {
  if (!handle_) return false;
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(handle_->fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::size_t> RegularFile::ReadSome(std::span<std::uint8_t> bytes) {
  if (!handle_) return std::nullopt;
  for (;;) {
    const ssize_t n = ::read(handle_->fd, bytes.data(), bytes.size());
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return std::nullopt;
  }
}

}  // namespace zelka::files
