// The settings stored in the printer: cut line, print density, code page 866 and the
// printer's baud rate. None of them reads an answer: a printer that refuses a setting
// goes unnoticed.
#pragma once

#include <array>

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

// The cut line's positions and the density's values the printer takes.
inline constexpr int kCutLineMin = 0;
inline constexpr int kCutLineMax = 50;
inline constexpr int kDensityMin = 20;
inline constexpr int kDensityMax = 100;
// The printer stores the cut line as this plus its position.
inline constexpr int kCutLineParameterBase = 100;
// The rates the printer can be set to.
inline constexpr std::array<int, 4> kPrinterRates = {9600, 19200, 57600, 115200};

// Parameter 10 = 100 + `position` (0..50).
printer::Result WriteCutLine(printer::Session& session, int position);
// Parameter 65 = `density` (20..100).
printer::Result WriteDensity(printer::Session& session, int density);
// ESC R 7.
printer::Result SelectCodePage866(printer::Session& session);
// Tells the printer its new rate. With `keepRate` the session keeps opening the port at
// the rate it had; without, `baud` becomes the session's rate whatever happened.
printer::Result SetPrinterBaudRate(printer::Session& session, int baud, bool keepRate = false);

}  // namespace zelka::service
