#include "service/text_print.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"

namespace zelka::service {

namespace {

constexpr std::chrono::milliseconds kTextReadTimeout{500};


}  // namespace

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
  session.model = commands::ModelOfName(*model);
  for (const std::string& line : lines) commands::PrintTextLine(link, line, session.TextLineLimit());
  link.Close();
  return result;
}

}  // namespace zelka::service
