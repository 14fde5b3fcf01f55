#include "commands/text_line.h"

#include <algorithm>
#include <string>

#include "commands/codepage.h"
#include "commands/frames.h"
#include "link/serial_link.h"

namespace zelka::commands {

std::uint8_t PrinterVariant = 0;
int PaperWidthMm = 80;

int TextLineLimit() {
  const bool narrowPaper = PaperWidthMm == 57;
  // The model "Printer Zelka" fits one character more on either paper.
  if (PrinterVariant == 1) return narrowPaper ? 41 : 57;
  return narrowPaper ? 40 : 56;
}

void PrintTextLine(std::string_view line) {
  const std::string encoded = EncodeCp866(line);
  const auto n = std::min<std::size_t>(encoded.size(), static_cast<std::size_t>(TextLineLimit()));
  std::copy_n(encoded.begin(), n, link::TxBuffer);
  link::TxLength = static_cast<std::int32_t>(n);
  link::SendTx();
  link::TxBuffer[0] = kCr;
  link::TxBuffer[1] = kLf;
  link::TxLength = 2;
  link::SendTx();
}

}  // namespace zelka::commands
