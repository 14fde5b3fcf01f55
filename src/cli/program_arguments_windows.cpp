#include <QCoreApplication>

#include "cli/argument_bytes.h"

namespace zelka::cli {

// QCoreApplication reads the command line through GetCommandLineW.
QStringList ProgramArguments(int, const char* const*) { return QCoreApplication::arguments(); }

}  // namespace zelka::cli
