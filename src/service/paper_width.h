// The printer's paper width (parameter 8): write it, read back what the printer now
// reports.
#pragma once

#include <optional>

#include "printer/session.h"

namespace zelka::service {

// What the printer reports for its paper width.
enum class PaperWidth {
  kUnknown,  // the read got no answer
  k80mm,     // 0
  k57mm,     // 1
  kOther,    // any other value
};

// Reads parameter 8 over the open link.
PaperWidth ReadPaperWidth(link::SerialLink& link);

// Writes `width` (k80mm or k57mm) and reads back what the printer reports, once: over
// the printer's link when it is open already, else over the printer's port opened for
// this and closed after. Nothing, sending nothing, when no printer is known.
std::optional<PaperWidth> SwitchPaperWidth(printer::Session& session, PaperWidth width);

// Reads the width, writes 57 mm and reads again (a service step below the window's
// client area); what the printer says is not used.
void CheckPaperWidthSwitch(printer::Session& session);

}  // namespace zelka::service
