// The real zelka binary run as a process, as a script runs it.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>

namespace zelka::testing {

struct CliRun {
  int exitCode = -1;
  bool crashed = false;
  QByteArray out;
  QByteArray err;
  std::string Out() const { return out.toStdString(); }
  std::string Err() const { return err.toStdString(); }
};

struct CliOptions {
  QByteArray input;                       // standard input, closed after
  QStringList environment;                // NAME=VALUE added to a copy of ours
  QStringList prefix;                     // a program that runs zelka (setpriv ...)
};

// Runs zelka with `arguments`; ZELKA_PORT is removed from its environment and
// XDG_CONFIG_HOME leads to no configuration file, unless given.
CliRun RunZelka(const QStringList& arguments, const CliOptions& options = {});
QString ZelkaPath();

}  // namespace zelka::testing
