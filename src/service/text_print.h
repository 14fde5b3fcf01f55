// Lines of text printed as they come (a file, a script's output), each cut to what one
// printed line of this printer holds.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

// The next line to print (UTF-8, without its line end); nothing when there is no more.
// Asked for one line at a time, while the port is open, so that the lines need never be
// held all at once.
using LineSource = std::function<std::optional<std::string>()>;

struct TextPrinted {
  printer::Result result;
  std::size_t lines = 0;  // lines that went out whole, line end included
};

// Opens the printer's port, asks its model name (GS I @ 0x27) to know its line limit,
// then sends each line of `next` in code page 866 cut to that limit and ended by CR LF,
// and closes the port. kNoReply, printing nothing, when the model query gets no answer: a
// line limit guessed wrong would wrap every long line. kNotSent when a line could not be
// written whole: the lines after it are not asked for.
TextPrinted PrintTextLines(printer::Session& session, const LineSource& next);

}  // namespace zelka::service
