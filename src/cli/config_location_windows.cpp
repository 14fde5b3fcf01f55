#include <windows.h>

#include "cli/config_location.h"

namespace zelka::cli {

namespace {

constexpr wchar_t kAppData[] = L"APPDATA";
constexpr char kUserFile[] = "\\zelka\\zelka.conf";

// The variable as UTF-8: a user name with letters outside the ANSI code page must not
// lose them.
std::string Variable(const wchar_t* name) {
  const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0) return {};
  std::wstring wide(length, L'\0');
  const DWORD copied = GetEnvironmentVariableW(name, wide.data(), length);
  wide.resize(copied);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace

std::vector<std::string> ConfigFilePaths() {
  const std::string appData = Variable(kAppData);
  if (appData.empty()) return {};
  return {appData + kUserFile};
}

}  // namespace zelka::cli
