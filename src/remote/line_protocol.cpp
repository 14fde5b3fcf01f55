#include "remote/line_protocol.h"

#include <algorithm>
#include <cctype>

#include "commands/codepage.h"

namespace zelka::remote {

namespace {

// Request methods that start the first line of an HTTP request; HTTP spells them in
// capitals.
constexpr std::string_view kHttpRequestStarts[] = {"GET ",  "POST ",    "PUT ",
                                                   "HEAD ", "OPTIONS ", "CONNECT "};
// The header every HTTP/1.1 request carries; header names ignore case.
constexpr std::string_view kHostHeader = "host:";

bool StartsWithIgnoringCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  return std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin(), [](char p, char t) {
    return p == std::tolower(static_cast<unsigned char>(t));
  });
}

}  // namespace

const Command* FindCommand(std::string_view line) {
  // The commands are ASCII, so a line holding a byte from 0x80 upward cannot equal one.
  for (const Command& command : kCommands) {
    if (line == command.line) return &command;
  }
  return nullptr;
}

bool LooksLikeHttp(std::string_view line, bool firstLine) {
  if (StartsWithIgnoringCase(line, kHostHeader)) return true;
  if (!firstLine) return false;
  return std::any_of(std::begin(kHttpRequestStarts), std::end(kHttpRequestStarts),
                     [line](std::string_view start) { return line.starts_with(start); });
}

std::string EncodeWrittenLine(std::string_view utf8) {
  std::string line = commands::ToSevenBitAscii(utf8);
  line.append(kWrittenLineEnd);
  return line;
}

}  // namespace zelka::remote
