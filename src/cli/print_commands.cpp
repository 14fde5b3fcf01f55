// print test, qr, picture, text.
#include "cli/commands.h"
#include "service/test_receipts.h"
#include "service/text_print.h"

namespace zelka::cli {

namespace {

int Printed(Context& context, const std::string& text, const char* key, int value) {
  QJsonObject object = PrinterObject(context.session);
  if (key) object.insert(QString::fromLatin1(key), value);
  context.output.Result(text + " " + PrinterWords(context.session) + ".\n", object);
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
  return Printed(context, "Printed the picture (" + std::to_string(sent.rows) + " rows)", "rows",
                 static_cast<int>(sent.rows));
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
      return Printed(context, "Printed the test receipt", nullptr, 0);
    case CommandId::kPrintQr:
      if (int code = ReportProblem(context, service::PrintSampleQrCode(session), "the QR code")) return code;
      return Printed(context, "Printed the sample QR code", nullptr, 0);
    case CommandId::kPrintPicture: return RunPicture(context);
    case CommandId::kPrintText: {
      const auto& lines = context.inputs.lines;
      if (int code = ReportProblem(context, service::PrintTextLines(session, lines), "the model query")) {
        return code;
      }
      return Printed(context, "Printed " + std::to_string(lines.size()) + " lines of at most " +
                                  std::to_string(session.TextLineLimit()) + " characters",
                     "lines", static_cast<int>(lines.size()));
    }
    default: return ToInt(ExitCode::kUsage);
  }
}

}  // namespace zelka::cli
