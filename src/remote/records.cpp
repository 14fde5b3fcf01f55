#include "remote/records.h"

#include <cstdio>

#include "discovery/identity_words.h"

namespace zelka::remote {

namespace {

std::string WithoutControlBytes(std::string value) {
  for (char& c : value) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return value;
}

}  // namespace

std::optional<std::string> IdentityRecord(discovery::Step step, const discovery::Identity& identity) {
  const int number = static_cast<int>(step);
  if (number < static_cast<int>(discovery::Step::kModel) ||
      number > static_cast<int>(discovery::Step::kBuildDate)) {
    return std::nullopt;
  }
  const std::optional<std::string> value = discovery::StepValueText(step, identity);
  char head[16];
  std::snprintf(head, sizeof head, "SVE%04d%s", number, value ? "E" : "D");
  return head + (value ? WithoutControlBytes(*value) : std::string(discovery::kNoData));
}

}  // namespace zelka::remote
