#include "cli/firmware_process.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <thread>

namespace zelka::testing {

namespace {

// Generous: a signal and its note take milliseconds; a held reply keeps the program
// where the test wants it meanwhile.
constexpr std::chrono::seconds kDeadline{20};
constexpr std::chrono::milliseconds kPoll{20};

}  // namespace

QStringList ShortWaits() { return {QStringLiteral("ZELKA_TEST_WAIT_DIVISOR=100")}; }

FirmwareProcess::FirmwareProcess(const QStringList& arguments, QProcess::ProcessChannelMode mode) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("ZELKA_PORT"));
  for (const QString& entry : ShortWaits()) {
    const auto at = entry.indexOf(QLatin1Char('='));
    environment.insert(entry.left(at), entry.mid(at + 1));
  }
  process_.setProcessEnvironment(environment);
  process_.setProcessChannelMode(mode);
  if (mode != QProcess::MergedChannels) process_.setReadChannel(QProcess::StandardError);
  process_.start(ZelkaPath(), arguments);
  process_.waitForStarted();
}

FirmwareProcess::~FirmwareProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished();
}

void FirmwareProcess::Signal(int signal) { ::kill(static_cast<pid_t>(process_.processId()), signal); }

void FirmwareProcess::ReadSome(std::chrono::milliseconds wait) {
  if (process_.bytesAvailable() == 0) process_.waitForReadyRead(static_cast<int>(wait.count()));
  text_ += process_.readAll().toStdString();
}

bool FirmwareProcess::WaitForText(const std::string& text) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  while (text_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > end || process_.state() == QProcess::NotRunning) return false;
    ReadSome(kPoll);
  }
  return true;
}

bool FirmwareProcess::WaitForLines(int lines) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  while (std::count(text_.begin(), text_.end(), '\n') < lines) {
    if (std::chrono::steady_clock::now() > end || process_.state() == QProcess::NotRunning) return false;
    ReadSome(kPoll);
  }
  return true;
}

bool FirmwareProcess::Finish() {
  const bool finished = process_.waitForFinished(static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline).count()));
  if (process_.isReadable()) text_ += process_.readAll().toStdString();
  return finished;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
  return path;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const sim::Bytes& bytes) {
  return WriteFile(dir, name,
                   QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

bool WaitForLogged(const sim::Simulator& printer, const std::string& name, std::size_t count) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  for (;;) {
    const auto names = printer.CommandNames();
    if (static_cast<std::size_t>(std::count(names.begin(), names.end(), name)) >= count) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace zelka::testing
