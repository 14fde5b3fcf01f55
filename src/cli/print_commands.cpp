// print test, qr, picture, text.
#include <span>

#include "cli/commands.h"
#include "service/script_jobs.h"
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
    return Printed(context, "Printed the sample QR code", nullptr, 0);
  }
  const std::string& text = context.invocation.arguments.front();
  const std::span payload(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (int code = ReportProblem(context, service::PrintQrPayload(session, payload, context.invocation.cut),
                               "the QR code")) {
    return code;
  }
  return Printed(context, "Printed a QR code of " + std::to_string(text.size()) + " bytes", "bytes",
                 static_cast<int>(text.size()));
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
  return Printed(context, "Sent " + std::to_string(job.size()) + " bytes", "bytes", static_cast<int>(job.size()));
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
    case CommandId::kPrintQr: return RunQr(context);
    case CommandId::kPrintRaw: return RunRaw(context);
    case CommandId::kPrintPicture: return RunPicture(context);
    case CommandId::kPrintText: {
      const auto& lines = context.inputs.lines;
      if (int code = ReportProblem(context, service::PrintTextLines(session, lines), "the model query")) {
        return code;
      }
      if (int code = CutAfter(context)) return code;
      return Printed(context, "Printed " + std::to_string(lines.size()) + " lines of at most " +
                                  std::to_string(session.TextLineLimit()) + " characters",
                     "lines", static_cast<int>(lines.size()));
    }
    default: return ToInt(ExitCode::kUsage);
  }
}

}  // namespace zelka::cli
