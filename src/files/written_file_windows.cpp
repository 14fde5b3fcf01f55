#include "files/written_file.h"

#include <filesystem>
#include <fstream>

namespace zelka::files {

bool WriteFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  const std::filesystem::path path(std::u8string(name.begin(), name.end()));
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  stream.close();
  return !stream.fail();
}

}  // namespace zelka::files
