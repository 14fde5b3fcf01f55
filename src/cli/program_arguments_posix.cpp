#include "cli/argument_bytes.h"

namespace zelka::cli {

QStringList ProgramArguments(int argc, const char* const* argv) { return ArgumentList(argc, argv); }

}  // namespace zelka::cli
