#include "cli/cli_fixture.h"

#include <QJsonDocument>

#include <algorithm>

namespace zelka::testing {

CliRun CliFixture::OnPrinter(QStringList arguments, const CliOptions& options) {
  arguments << QStringLiteral("--port") << QString::fromStdString(sim.PortName()) << QStringLiteral("-b")
            << QString::number(sim.State().baud);
  return RunZelka(arguments, options);
}

std::vector<Bytes> CliFixture::LoggedBytes() const {
  std::vector<Bytes> bytes;
  for (const sim::LogEntry& entry : sim.Log()) {
    if (!entry.garbage) bytes.push_back(entry.bytes);
  }
  return bytes;
}

CliFixture::Frames CliFixture::LoggedFrames(std::size_t expected, const sim::Simulator* printer) const {
  const sim::Simulator& from = printer ? *printer : sim;
  if (expected > 0) from.WaitForCommands(expected, std::chrono::seconds(5));
  Frames frames;
  for (const sim::LogEntry& entry : from.Log()) {
    if (!entry.garbage) frames.emplace_back(entry.name, entry.bytes);
  }
  return frames;
}

std::size_t CliFixture::CountOf(const std::string& name) const {
  const auto names = sim.CommandNames();
  return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

QJsonObject CliFixture::JsonOf(const CliRun& run) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << run.Out();
  return document.object();
}

}  // namespace zelka::testing
