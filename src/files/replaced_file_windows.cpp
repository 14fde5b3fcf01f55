#include "files/replaced_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zelka::files {

// Windows has no pipes in the file system's name space that a file dialog or a script
// would hand over; the devices (NUL, COM1 ...) and directories are refused by their
// status. The new file is written beside the old one and renamed over it (MoveFileExW
// with MOVEFILE_REPLACE_EXISTING, through std::filesystem::rename).
WriteResult ReplaceFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  namespace fs = std::filesystem;
  const fs::path target(std::u8string(name.begin(), name.end()));
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) return {WriteError::kNotRegular, {}};
  fs::path temporary = target;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    out.close();
    if (!out) {
      fs::remove(temporary, error);
      return {WriteError::kFailed, "the file could not be written"};
    }
  }
  fs::rename(temporary, target, error);
  if (error) {
    const std::string reason = error.message();
    fs::remove(temporary, error);
    return {WriteError::kFailed, reason};
  }
  return {};
}

}  // namespace zelka::files
