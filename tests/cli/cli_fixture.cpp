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
