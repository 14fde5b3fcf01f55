#include <windows.h>

#include <cstdio>

#include "app/console.h"

namespace zelka::app {

namespace {

bool Has(DWORD stream) {
  const HANDLE handle = GetStdHandle(stream);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void UseStartingConsole() {
  // A stream redirected to a file or a pipe stays where it goes.
  const bool hasOut = Has(STD_OUTPUT_HANDLE);
  const bool hasErr = Has(STD_ERROR_HANDLE);
  if (hasOut && hasErr) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer: no console
  if (!hasOut) [[maybe_unused]] std::FILE* out = std::freopen("CONOUT$", "w", stdout);
  if (!hasErr) [[maybe_unused]] std::FILE* err = std::freopen("CONOUT$", "w", stderr);
}

}  // namespace zelka::app
