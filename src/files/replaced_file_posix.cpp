#include "files/replaced_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace zelka::files {

namespace {

constexpr int kNameAttempts = 16;

WriteResult Failed(int error) { return {WriteError::kFailed, std::strerror(error)}; }

// The name to replace: the file a symbolic link names, so that the link stays a link.
std::string Target(const std::string& name) {
  struct stat link {};
  if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return name;
  char* resolved = ::realpath(name.c_str(), nullptr);
  if (!resolved) return name;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// A new file beside `target` (the same directory, so the same file system and a rename
// that replaces in one step), created with the usual permissions (0666, the umask
// applied by the system). -1 with errno set when it cannot be made.
int CreateBeside(const std::string& target, std::string& temporary) {
  std::random_device seed;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

WriteResult ReplaceFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  const std::string target = Target(name);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return {WriteError::kNotRegular, {}};

  std::string temporary;
  const int fd = CreateBeside(target, temporary);
  if (fd < 0) return Failed(errno);
  // A write, the flush to the disk (where a full disk or an I/O error may only show) and
  // the close are each checked; the first that fails is the reason.
  bool ok = (!exists || ::fchmod(fd, existing.st_mode & 07777) == 0) && WriteAll(fd, bytes) &&
            ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return Failed(error);
  }
  return {};
}

}  // namespace zelka::files
