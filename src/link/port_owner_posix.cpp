#include "link/port_owner.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <vector>

#include "link/port_name.h"

namespace zelka::link {

bool UserMayOpen(const std::string& name) {
  return ::access(DevicePath(name).c_str(), R_OK | W_OK) == 0 || errno != EACCES;
}

std::string PortOwnerGroup(const std::string& name) {
  const std::string path = DevicePath(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  struct group entry {};
  struct group* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return {};
  }
  return found->gr_name;
}

}  // namespace zelka::link
