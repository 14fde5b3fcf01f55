#include <windows.h>

#include "cli/terminal.h"

namespace zelka::cli {

Console::Console() {
  // Console windows show bytes in their own code page (866 on Russian systems); the
  // program's text is UTF-8. Redirected output is written as it is, in UTF-8.
  savedOutputCodePage_ = GetConsoleOutputCP();
  if (savedOutputCodePage_ != 0) SetConsoleOutputCP(CP_UTF8);

  // Standard error redraws only on a console (not a file, pipe or NUL) that takes the
  // line-editing sequences, which a console does only when asked (Windows 10 and later).
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode)) return;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
    errorRedraws_ = true;
  } else if (SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
    savedErrorMode_ = mode;
    errorModeChanged_ = true;
    errorRedraws_ = true;
  }
}

Console::~Console() {
  if (errorModeChanged_) SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), savedErrorMode_);
  if (savedOutputCodePage_ != 0) SetConsoleOutputCP(savedOutputCodePage_);
}

}  // namespace zelka::cli
