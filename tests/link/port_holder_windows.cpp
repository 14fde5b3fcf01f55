// zelka-port-holder PORT: opens COM port PORT for itself alone, as any Windows program that
// uses a port does, and keeps it until it is ended; prints "held PORT" once it has it.
// scripts/test-windows.sh uses it to see what a port held by another program looks like.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zelka-port-holder PORT\n");
    return 2;
  }
  const std::wstring path = std::wstring(L"\\\\.\\") + argv[1];
  const HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "zelka-port-holder: cannot open %ls (system error %lu)\n", argv[1],
                 GetLastError());
    return 1;
  }
  std::printf("held %ls\n", argv[1]);
  std::fflush(stdout);
  Sleep(INFINITE);
  CloseHandle(port);
  return 0;
}
