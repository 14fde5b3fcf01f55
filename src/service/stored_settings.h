// What a printer reports of the settings it stores, read in one opening of its port
// without changing any of them: for copying them to a replacement printer.
#pragma once

#include <optional>
#include <string>

#include "printer/session.h"
#include "service/paper_width.h"

namespace zelka::service {

struct StoredSettings {
  bool answered = false;  // the port opened and the printer answered the model query
  std::optional<std::string> model;         // UTF-8, as the identification shows it
  bool referenceModel = false;              // "Printer Zelka": it has a cut line and a density
  std::optional<std::string> serialNumber;  // UTF-8
  PaperWidth paperWidth = PaperWidth::kUnknown;
  std::optional<int> cutLine;  // the position, 0..50 when the printer keeps a sane value
  std::optional<int> density;
};

// Opens the printer's port at its rate and asks, as the identification does, the model
// name, for the reference model the cut line (parameter 10) and the density (parameter
// 65), the serial number and the paper width (parameter 8); closes the port. Only queries
// are sent. The session's model becomes the one read.
StoredSettings ReadStoredSettings(printer::Session& session);

}  // namespace zelka::service
