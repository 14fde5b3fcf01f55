// Writing a file the user names (a preview picture). The name is the system's own: bytes
// on POSIX (as the command line gave them), UTF-8 on Windows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelka::files {

// Writes `bytes` to `name`, made or emptied first. False when it cannot be opened
// without blocking (a pipe nobody reads) or a write or the close fails (a full disk).
bool WriteFile(const std::string& name, std::span<const std::uint8_t> bytes);

}  // namespace zelka::files
