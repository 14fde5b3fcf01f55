#include "service/text_print.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"

namespace zelka::service {

namespace {

constexpr std::chrono::milliseconds kTextReadTimeout{500};

}  // namespace

TextPrinted PrintTextLines(printer::Session& session, const LineSource& next) {
  TextPrinted printed;
  printed.result = printer::OpenPrinter(session, kTextReadTimeout);
  if (!printed.result.Ok()) return printed;
  link::SerialLink& link = session.Link();
  const std::optional<std::string> model = commands::QueryModelName(link);
  if (!model) {
    printed.result.problem = printer::Problem::kNoReply;
    link.Close();
    return printed;
  }
  session.model = commands::ModelOfName(*model);
  while (const std::optional<std::string> line = next()) {
    printed.result.Sent(commands::PrintTextLine(link, *line, session.TextLineLimit()));
    if (!printed.result.Ok()) break;
    ++printed.lines;
  }
  link.Close();
  return printed;
}

}  // namespace zelka::service
