// print test, qr, picture, text.
#include <span>

#include "cli/commands.h"
#include "service/script_jobs.h"
#include "service/test_receipts.h"
#include "service/text_print.h"

namespace zelka::cli {

namespace {

// `sent`: what went out, for a printer that nothing has shown to be there (--baud).
int Printed(Context& context, const std::string& text, const std::string& sent, const char* key, int value) {
  QJsonObject object = PrinterObject(context.session);
  if (key) object.insert(QString::fromLatin1(key), value);
  context.output.Result(DoneWords(context, text, sent), object);
  return 0;
}

int RunPicture(Context& context) {
  const graphics::PictureSent sent = graphics::SendPicture(context.session, context.inputs.picture);
  if (sent.result.problem == printer::Problem::kNotSent && sent.rowsSent < sent.rows) {
    return context.output.Fail(ExitCode::kFailed,
                               "row " + std::to_string(sent.rowsSent + 1) + " of " +
                                   std::to_string(sent.rows) + " could not be sent whole to the printer on " +
                                   context.session.Port() + "; check the cable and print again");
  }
  if (int code = ReportProblem(context, sent.result, "the picture")) return code;
  if (int code = ReportProblem(context, graphics::FinishPicture(context.session), "the feed and cut")) {
    return code;
  }
  const std::string rows = std::to_string(sent.rows) + " rows";
  return Printed(context, "Printed the picture (" + rows + ")", "the picture (" + rows + ")", "rows",
                 static_cast<int>(sent.rows));
}

// --cut: a feed and a cut of their own, once the rest went out.
int CutAfter(Context& context) {
  if (!context.invocation.cut) return 0;
  return ReportProblem(context, service::FeedAndCut(context.session), "the feed and cut");
}

int RunQr(Context& context) {
  printer::Session& session = context.session;
  if (context.invocation.arguments.empty()) {
    // The window's sample, frames and all: it feeds and cuts by itself.
    if (int code = ReportProblem(context, service::PrintSampleQrCode(session), "the QR code")) return code;
    return Printed(context, "Printed the sample QR code", "the sample QR code", nullptr, 0);
  }
  const std::string& text = context.invocation.arguments.front();
  const std::span payload(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (int code = ReportProblem(context, service::PrintQrPayload(session, payload, context.invocation.cut),
                               "the QR code")) {
    return code;
  }
  const std::string code = "a QR code of " + std::to_string(text.size()) + " bytes";
  return Printed(context, "Printed " + code, code, "bytes", static_cast<int>(text.size()));
}

int RunRaw(Context& context) {
  const std::vector<std::uint8_t>& job = context.inputs.rawJob;
  const service::RawJobSent sent = service::SendRawJob(context.session, job);
  if (sent.result.problem == printer::Problem::kNotSent) {
    return context.output.Fail(ExitCode::kFailed,
                               "only " + std::to_string(sent.bytesSent) + " of the job's " +
                                   std::to_string(job.size()) + " bytes went out whole to the printer on " +
                                   context.session.Port() + "; check the cable and the rate (--baud)");
  }
  if (int code = ReportProblem(context, sent.result, "the job")) return code;
  const std::string bytes = std::to_string(job.size()) + " bytes";
  return Printed(context, "Sent " + bytes, bytes, "bytes", static_cast<int>(job.size()));
}

std::string Lines(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

int RunText(Context& context) {
  TextInput& input = *context.inputs.text;
  const service::TextPrinted printed =
      service::PrintTextLines(context.session, [&input] { return input.Next(); });
  if (printed.result.problem == printer::Problem::kNotSent) {
    return context.output.Fail(ExitCode::kFailed,
                               "line " + std::to_string(printed.lines + 1) +
                                   " could not be sent whole to the printer on " + context.session.Port() +
                                   " (" + Lines(printed.lines) + " went out); check the cable and print the rest");
  }
  if (int code = ReportProblem(context, printed.result, "the model query")) return code;
  if (!input.Failure().empty()) {
    const auto& arguments = context.invocation.arguments;
    const std::string source =
        arguments.empty() || arguments.front() == "-" ? "standard input" : arguments.front();
    return context.output.Fail(ExitCode::kFileRefused, source + ": " + input.Failure() + " (" +
                                                           Lines(printed.lines) + " went out)");
  }
  if (int code = CutAfter(context)) return code;
  // The printer answered the model query: the lines reached a printer.
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("lines"), static_cast<int>(printed.lines));
  context.output.Result("Printed " + Lines(printed.lines) + " of at most " +
                            std::to_string(context.session.TextLineLimit()) + " characters " +
                            PrinterWords(context.session) + ".\n",
                        object);
  return 0;
}

}  // namespace

int RunPrintCommand(Context& context) {
  printer::Session& session = context.session;
  switch (context.invocation.command->id) {
    case CommandId::kPrintTest:
      if (int code = ReportProblem(context, service::PrintTestReceipt(session, context.invocation.layout),
                                   "the test receipt")) {
        return code;
      }
      return Printed(context, "Printed the test receipt", "the test receipt", nullptr, 0);
    case CommandId::kPrintQr: return RunQr(context);
    case CommandId::kPrintRaw: return RunRaw(context);
    case CommandId::kPrintPicture: return RunPicture(context);
    case CommandId::kPrintText: return RunText(context);
    default: return ToInt(ExitCode::kUsage);
  }
}

}  // namespace zelka::cli
