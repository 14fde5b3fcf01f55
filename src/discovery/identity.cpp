#include "discovery/identity.h"

namespace zelka::discovery {

bool IsOutdatedBootVersion(const std::string& version) {
  // std::string compares bytes as unsigned values, and a prefix sorts first.
  return version < std::string(kOldestCurrentBootVersion);
}

}  // namespace zelka::discovery
