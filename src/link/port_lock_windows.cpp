#include "link/port_lock.h"

#include <windows.h>

namespace zelka::link {

namespace {

// %ProgramData%\Zelka\locks\COM3.lock: one folder for every user, so that the service
// and the desktop user's window meet on the same file. Empty when there is no such
// folder.
std::wstring LockPath(const std::string& portName) {
  wchar_t data[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"ProgramData", data, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring folder = std::wstring(data, length) + L"\\Zelka";
  CreateDirectoryW(folder.c_str(), nullptr);
  folder += L"\\locks";
  CreateDirectoryW(folder.c_str(), nullptr);
  // "\\.\COM10" and "COM10" are one port; names ignore case.
  std::wstring name;
  for (char c : portName.substr(portName.find_last_of('\\') + 1)) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    name += plain ? static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) : L'_';
  }
  return folder + L"\\" + name + L".lock";
}

}  // namespace

PortLock::Outcome PortLock::Take(const std::string& portName) {
  Release();
  const std::wstring path = LockPath(portName);
  if (path.empty()) return Outcome::kNoLock;
  // No sharing: the open itself is the lock, and the system closes it when the program
  // ends.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? Outcome::kTaken : Outcome::kNoLock;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return Outcome::kHeld;
}

void PortLock::Release() {
  if (!Held()) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNone;
}

}  // namespace zelka::link
