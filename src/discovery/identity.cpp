#include "discovery/identity.h"

namespace zelka::discovery {

bool IsOutdatedBootVersion(const std::string& version) {
  // std::string compares bytes as unsigned values, and a prefix sorts first.
  return version < std::string(kOldestCurrentBootVersion);
}

std::string TrimControlAndSpace(const std::string& text) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace zelka::discovery
