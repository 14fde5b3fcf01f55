#include <unistd.h>

#include "cli/terminal.h"

namespace zelka::cli {

// Terminals take UTF-8 and the line-editing sequences as they are.
Console::Console() : errorRedraws_(::isatty(STDERR_FILENO) == 1) {}

Console::~Console() = default;

}  // namespace zelka::cli
