// Text lines on the printer: Unicode in, code page 866 out, cut to what one printed line
// holds, ended by CR LF.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelka::commands {

// 1 when the printer identified itself as the model "Printer Zelka", else 0. Set by the
// identification; guarded by the link lock.
extern std::uint8_t PrinterVariant;
// The paper width for text lines: 80, or 57 while a 57 mm test receipt prints. Guarded
// by the link lock.
extern int PaperWidthMm;

// Characters per printed line for the current PrinterVariant and PaperWidthMm.
int TextLineLimit();

// Converts `line` (UTF-8) to code page 866, keeps at most TextLineLimit() characters and
// sends them, then CR LF as a write of its own. The port is the caller's; nothing is
// reported.
void PrintTextLine(std::string_view line);

}  // namespace zelka::commands
