#include "service/text_print.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"

namespace zelka::service {

namespace {

constexpr std::chrono::milliseconds kTextReadTimeout{500};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

commands::PrinterModel ModelOfName(const std::string& reply) {
  std::size_t begin = 0;
  std::size_t end = reply.size();
  while (begin < end && IsBlank(reply[begin])) ++begin;
  while (end > begin && IsBlank(reply[end - 1])) --end;
  return reply.compare(begin, end - begin, kWideLineModel) == 0 ? commands::PrinterModel::kReference
                                                                 : commands::PrinterModel::kOther;
}

printer::Result PrintTextLines(printer::Session& session, const std::vector<std::string>& lines) {
  printer::Result result = printer::OpenPrinter(session, kTextReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  const std::optional<std::string> model = commands::QueryModelName(link);
  if (!model) {
    result.problem = printer::Problem::kNoReply;
    link.Close();
    return result;
  }
  session.model = ModelOfName(*model);
  for (const std::string& line : lines) commands::PrintTextLine(link, line, session.TextLineLimit());
  link.Close();
  return result;
}

}  // namespace zelka::service
