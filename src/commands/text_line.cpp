#include "commands/text_line.h"

#include <algorithm>
#include <array>
#include <string>

#include "commands/codepage.h"
#include "commands/frames.h"

namespace zelka::commands {

PrinterModel ModelOfName(std::string_view reply) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!reply.empty() && isBlank(reply.front())) reply.remove_prefix(1);
  while (!reply.empty() && isBlank(reply.back())) reply.remove_suffix(1);
  return reply == kReferenceModelName ? PrinterModel::kReference : PrinterModel::kOther;
}

int TextLineLimit(PrinterModel model, int paperWidthMm) {
  const bool narrowPaper = paperWidthMm == 57;
  if (model == PrinterModel::kReference) return narrowPaper ? 41 : 57;
  return narrowPaper ? 40 : 56;
}

link::Status PrintTextLine(link::SerialLink& link, std::string_view line, int limit) {
  const std::string encoded = EncodeCp866(line);
  const auto n = std::min<std::size_t>(encoded.size(), static_cast<std::size_t>(std::max(limit, 0)));
  const link::Status text = link.Send(std::span(reinterpret_cast<const Byte*>(encoded.data()), n));
  static constexpr std::array<Byte, 2> kLineEnd = {kCr, kLf};
  const link::Status end = link.Send(kLineEnd);
  return text != link::Status::kOk ? text : end;
}

}  // namespace zelka::commands
