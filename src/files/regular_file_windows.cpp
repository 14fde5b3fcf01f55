#include "files/regular_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace zelka::files {

struct RegularFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
};

namespace {

// The system's file names are UTF-16: a name in UTF-8 goes over whole, Cyrillic and all.
// Empty when the name is no valid UTF-8.
std::wstring WideName(const std::string& name) {
  if (name.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                                         static_cast<int>(name.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                      wide.data(), length);
  return wide;
}

}  // namespace

RegularFile::~RegularFile() {
  if (handle_) {
    CloseHandle(handle_->file);
    delete handle_;
  }
}

FileError RegularFile::Open(const std::string& name) {
  if (handle_) return FileError::kUnreadable;
  const std::wstring wide = WideName(name);
  if (wide.empty()) return FileError::kDoesNotExist;
  // Backup semantics let a folder open too, so that it is told apart from a file that
  // cannot be read; others may go on reading and writing the file meanwhile.
  const HANDLE file =
      CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:
      case ERROR_BAD_NETPATH: return FileError::kDoesNotExist;
      default: return FileError::kUnreadable;
    }
  }
  // A pipe, the console or a device (NUL, COM1) is no file: reading it may never end.
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return FileError::kNotRegular;
  }
  handle_ = new Handle{file};
  length_ = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return FileError::kNone;
}

bool RegularFile::Read(std::span<std::uint8_t> bytes) {
  if (!handle_) return false;
  std::size_t got = 0;
  while (got < bytes.size()) {
    constexpr std::size_t kLargestRead = 1 << 30;
    const DWORD wanted = static_cast<DWORD>(std::min(bytes.size() - got, kLargestRead));
    DWORD n = 0;
    if (!ReadFile(handle_->file, bytes.data() + got, wanted, &n, nullptr) || n == 0) return false;
    got += n;
  }
  return true;
}

}  // namespace zelka::files
