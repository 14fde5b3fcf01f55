#include "commands/text_line.h"

#include <algorithm>
#include <array>
#include <string>

#include "commands/codepage.h"
#include "commands/frames.h"

namespace zelka::commands {

int TextLineLimit(PrinterModel model, int paperWidthMm) {
  const bool narrowPaper = paperWidthMm == 57;
  if (model == PrinterModel::kReference) return narrowPaper ? 41 : 57;
  return narrowPaper ? 40 : 56;
}

void PrintTextLine(link::SerialLink& link, std::string_view line, int limit) {
  const std::string encoded = EncodeCp866(line);
  const auto n = std::min<std::size_t>(encoded.size(), static_cast<std::size_t>(std::max(limit, 0)));
  link.Send(std::span(reinterpret_cast<const Byte*>(encoded.data()), n));
  static constexpr std::array<Byte, 2> kLineEnd = {kCr, kLf};
  link.Send(kLineEnd);
}

}  // namespace zelka::commands
