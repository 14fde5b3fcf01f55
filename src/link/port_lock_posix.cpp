#include "link/port_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "link/port_name.h"

namespace zelka::link {

namespace {

// The first that exists: every program must pick the same folder, so it is chosen by
// existence, not by whether this user may write to it.
std::string LockFolder() {
  for (const char* folder : {"/run/lock", "/var/lock", "/tmp"}) {
    struct stat info {};
    if (::stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) return folder;
  }
  return "/tmp";
}

std::string LockPath(const struct stat& device) {
  return LockFolder() + "/zelka-port-" + std::to_string(major(device.st_rdev)) + "." +
         std::to_string(minor(device.st_rdev)) + "-" + std::to_string(device.st_ctim.tv_sec) + "." +
         std::to_string(device.st_ctim.tv_nsec) + ".lock";
}

// Whether `fd` is still the file at `path`: a holder removes the file as it lets go, so
// a lock taken on a file opened just before that is a lock on nothing.
bool StillThere(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// The file is made by whichever program comes first, readable by all (an flock needs no
// write access), so that programs of other users can lock it too; a file another user
// made in the sticky folder is opened without O_CREAT, which the system's protection of
// such folders would refuse.
int OpenLockFile(const std::string& path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0) {
      ::fchmod(fd, 0644);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

PortLock::Outcome PortLock::Take(const std::string& portName) {
  Release();
  struct stat device {};
  if (::stat(DevicePath(portName).c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
    return Outcome::kNoLock;
  }
  const std::string path = LockPath(device);
  // Once more when the holder removed the file between our open and our lock.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int fd = OpenLockFile(path);
    if (fd < 0) return Outcome::kNoLock;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool taken = errno == EWOULDBLOCK;
      ::close(fd);
      return taken ? Outcome::kTaken : Outcome::kNoLock;
    }
    if (StillThere(fd, path)) {
      handle_ = fd;
      path_ = path;
      return Outcome::kHeld;
    }
    ::close(fd);
  }
  return Outcome::kNoLock;
}

void PortLock::Release() {
  if (!Held()) return;
  // Removed while still locked, so that nobody locks it after us and before the removal;
  // the sticky folder lets only its maker remove it, and another user's file stays.
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
  path_.clear();
}

}  // namespace zelka::link
