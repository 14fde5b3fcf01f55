// A simulated printer and the zelka binary pointed at it.
#pragma once

#include <QJsonObject>

#include "cli/cli_process.h"
#include "support/sim_fixture.h"

namespace zelka::testing {

class CliFixture : public SimFixture {
 protected:
  // zelka `arguments` on the simulator's port at its rate: no search.
  CliRun OnPrinter(QStringList arguments, const CliOptions& options = {});
  // The log's bytes, command by command, without garbage.
  std::vector<Bytes> LoggedBytes() const;
  // `printer`'s log (the fixture's printer by default) as name and bytes, without
  // garbage, once it holds `expected` commands or 5 s have passed.
  using Frames = std::vector<std::pair<std::string, Bytes>>;
  Frames LoggedFrames(std::size_t expected = 0, const sim::Simulator* printer = nullptr) const;
  // How many commands named `name` the printer got.
  std::size_t CountOf(const std::string& name) const;
  static QJsonObject JsonOf(const CliRun& run);
};

}  // namespace zelka::testing
