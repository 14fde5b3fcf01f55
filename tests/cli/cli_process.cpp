#include "cli/cli_process.h"

#include <QProcess>

namespace zelka::testing {

namespace {

constexpr int kRunTimeoutMs = 30000;

}  // namespace

QString ZelkaPath() { return QStringLiteral(ZELKA_BINARY); }

CliRun RunZelka(const QStringList& arguments, const CliOptions& options) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("ZELKA_PORT"));
  // The user's own defaults must not change what a test sees; a test gives a file of
  // its own through XDG_CONFIG_HOME.
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/nonexistent/zelka-test-config"));
  for (const QString& entry : options.environment) {
    const auto at = entry.indexOf(QLatin1Char('='));
    environment.insert(entry.left(at), entry.mid(at + 1));
  }
  process.setProcessEnvironment(environment);
  if (options.prefix.isEmpty()) {
    process.start(ZelkaPath(), arguments);
  } else {
    process.start(options.prefix.front(), options.prefix.mid(1) + QStringList{ZelkaPath()} + arguments);
  }
  CliRun run;
  if (!process.waitForStarted()) return run;
  process.write(options.input);
  process.closeWriteChannel();
  if (!process.waitForFinished(kRunTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    run.crashed = true;
  }
  run.crashed = run.crashed || process.exitStatus() != QProcess::NormalExit;
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

}  // namespace zelka::testing
