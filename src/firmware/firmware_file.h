// The firmware file (*.bin): the image sent byte for byte; its last byte names the board
// version the image is built for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zelka::firmware {

// The dialogs hand over UTF-8 names; the users' PCs must not read them as the ANSI code page.
std::filesystem::path PathFromUtf8(const std::string& name);

// A file a transfer can start from (not a directory, not missing).
bool IsExistingFile(const std::filesystem::path& path);
// The file's length; nothing when it cannot be had.
std::optional<std::uintmax_t> FileLength(const std::filesystem::path& path);
// The board version the file is built for: its last byte, 0 when nothing can be read.
std::uint8_t ReadBoardVersion(const std::filesystem::path& path);

enum class ImageRead { Ok, Unreadable, TooLarge };
// Reads the whole file into `image` (at most `capacity` bytes; a longer file is not read).
ImageRead ReadImage(const std::filesystem::path& path, std::size_t capacity,
                    std::vector<std::uint8_t>& image);

}  // namespace zelka::firmware
