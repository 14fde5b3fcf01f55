#include "link/port_owner.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <string>
#include <vector>

#include "link/port_name.h"

namespace zelka::link {

bool UserMayOpen(const std::string& name) {
  return ::access(DevicePath(name).c_str(), R_OK | W_OK) == 0 || errno != EACCES;
}

PortAccess WhoMayOpen(const std::string& name) {
  struct stat info {};
  if (::stat(DevicePath(name).c_str(), &info) != 0) return {};
  PortAccess access;
  access.known = true;
  std::vector<char> buffer(16384);
  struct passwd user {};
  struct passwd* owner = nullptr;
  if (::getpwuid_r(info.st_uid, &user, buffer.data(), buffer.size(), &owner) == 0 && owner) {
    access.owner = owner->pw_name;
  } else {
    access.owner = std::to_string(info.st_uid);
  }
  const bool groupMayUse = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
  if (!groupMayUse || info.st_gid == 0) return access;
  struct group entry {};
  struct group* found = nullptr;
  if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    access.group = found->gr_name;
  }
  return access;
}

DeviceKind KindOf(const std::string& name) {
  struct stat info {};
  if (::stat(DevicePath(name).c_str(), &info) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? DeviceKind::kMissing : DeviceKind::kUnknown;
  }
  return S_ISCHR(info.st_mode) ? DeviceKind::kDevice : DeviceKind::kNotDevice;
}

bool IsTerminalDevice(const std::string& name) {
  const int fd = ::open(DevicePath(name).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool terminal = ::isatty(fd) == 1;
  ::close(fd);
  return terminal;
}

}  // namespace zelka::link
