#include "files/written_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zelka::files {

bool WriteFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool closed = ::close(fd) == 0;
  return closed && done == bytes.size();
}

}  // namespace zelka::files
