// Lines of text printed as they are given (a file, a script's output), each cut to what
// one printed line of this printer holds.
#pragma once

#include <string>
#include <vector>

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

// The model name that fits one character more on a line, as the printer sends it (before
// the blanks around it are taken off).
inline constexpr char kWideLineModel[] = "Printer Zelka";

// Which model `reply` (the model name query's text) names.
commands::PrinterModel ModelOfName(const std::string& reply);

// Opens the printer's port, asks its model name (GS I @ 0x27) to know its line limit,
// then sends each of `lines` (UTF-8) in code page 866 cut to that limit and ended by CR LF,
// and closes the port. kNoReply, printing nothing, when the model query gets no answer: a
// line limit guessed wrong would wrap every long line.
printer::Result PrintTextLines(printer::Session& session, const std::vector<std::string>& lines);

}  // namespace zelka::service
