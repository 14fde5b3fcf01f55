#include <unistd.h>

#include "cli/terminal.h"

namespace zelka::cli {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace zelka::cli
