// Text lines on the printer: Unicode in, code page 866 out, cut to what one printed line
// holds, ended by CR LF.
#pragma once

#include <string_view>

#include "link/serial_link.h"

namespace zelka::commands {

// Which printer the identification found: the model "Printer Zelka" fits one character
// more on a line than any other.
enum class PrinterModel { kOther, kReference };

inline constexpr char kReferenceModelName[] = "Printer Zelka";

// The model the model name query's text names, the blanks and control bytes around it
// taken off.
PrinterModel ModelOfName(std::string_view reply);

// Characters per printed line for `model` on paper `paperWidthMm` wide (80 or 57).
int TextLineLimit(PrinterModel model, int paperWidthMm);

// Converts `line` (UTF-8) to code page 866 (EncodeCp866: no control byte gets through),
// keeps at most `limit` characters and sends them, then CR LF as a write of its own.
// The status of the first write that failed, else kOk (callers that print their own
// texts may ignore it).
link::Status PrintTextLine(link::SerialLink& link, std::string_view line, int limit);

}  // namespace zelka::commands
