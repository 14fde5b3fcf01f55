// zelka firmware update/recover as a process that a test signals while it runs, against
// a simulated printer; the bootloader's waits are shortened (the simulated printer needs
// none of them).
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <string>

#include "cli/cli_process.h"
#include "sim/simulator.h"

namespace zelka::testing {

// What zelka writes on standard error at the first signal during a transfer.
inline constexpr char kGoesOnNote[] = "the update goes on";
// The environment that shortens the bootloader's waits.
QStringList ShortWaits();

class FirmwareProcess {
 public:
  // Starts zelka with `arguments` (standard error read apart, or merged into standard
  // output).
  explicit FirmwareProcess(const QStringList& arguments,
                           QProcess::ProcessChannelMode mode = QProcess::SeparateChannels);
  ~FirmwareProcess();

  void Signal(int signal);
  // Reads standard error (standard output when merged) until it holds `text`; false when
  // the program ended first.
  bool WaitForText(const std::string& text);
  // Reads until `lines` whole lines have come.
  bool WaitForLines(int lines);
  // Waits for the end; what was written is in Text().
  bool Finish();
  const std::string& Text() const { return text_; }
  QProcess& Process() { return process_; }

 private:
  void ReadSome(std::chrono::milliseconds wait);
  QProcess process_;
  std::string text_;
};

// Writes `bytes` to the file `name` of `dir`; returns its path.
QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
QString WriteFile(const QTemporaryDir& dir, const QString& name, const sim::Bytes& bytes);

// Waits until the printer's log holds `count` commands named `name`.
bool WaitForLogged(const sim::Simulator& printer, const std::string& name, std::size_t count);

}  // namespace zelka::testing
