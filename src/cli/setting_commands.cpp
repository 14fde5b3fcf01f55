// set cut-line, density, baud, codepage, paper-width: the printer's stored settings.
#include "cli/commands.h"
#include "service/paper_width.h"
#include "service/printer_settings.h"

namespace zelka::cli {

namespace {

int Done(Context& context, const char* key, int value, const std::string& text) {
  QJsonObject object = PrinterObject(context.session);
  object.insert(QString::fromLatin1(key), value);
  context.output.Result(text + "\n", object);
  return 0;
}

int PaperWidthMm(service::PaperWidth width) {
  return width == service::PaperWidth::k57mm ? 57 : 80;
}

int RunPaperWidth(Context& context) {
  const int asked = context.invocation.number;
  const auto width = asked == 57 ? service::PaperWidth::k57mm : service::PaperWidth::k80mm;
  const std::optional<service::PaperWidth> reported = service::SwitchPaperWidth(context.session, width);
  const std::string where = PrinterWords(context.session);
  if (!reported || *reported == service::PaperWidth::kUnknown) {
    return context.output.Fail(ExitCode::kFailed, "the printer " + where +
                                                      " did not answer the paper width read back; "
                                                      "check that it is on and at this rate (--baud)");
  }
  if (*reported != width) {
    const std::string read = *reported == service::PaperWidth::kOther
                                 ? "neither 80 nor 57 mm"
                                 : std::to_string(PaperWidthMm(*reported)) + " mm";
    return context.output.Fail(ExitCode::kFailed, "the printer " + where + " reads back " + read +
                                                      " after being set to " + std::to_string(asked) +
                                                      " mm; it may not support this width");
  }
  return Done(context, "paper_width_mm", asked,
              "Paper width set to " + std::to_string(asked) + " mm; the printer reads back " +
                  std::to_string(asked) + " mm.");
}

}  // namespace

int RunSettingCommand(Context& context) {
  printer::Session& session = context.session;
  const int value = context.invocation.number;
  switch (context.invocation.command->id) {
    case CommandId::kSetCutLine:
      if (int code = ReportProblem(context, service::WriteCutLine(session, value), "the cut line setting")) {
        return code;
      }
      return Done(context, "cut_line", value, "Cut line set to " + std::to_string(value) + ".");
    case CommandId::kSetDensity:
      if (int code = ReportProblem(context, service::WriteDensity(session, value), "the density setting")) {
        return code;
      }
      return Done(context, "density", value, "Density set to " + std::to_string(value) + ".");
    case CommandId::kSetBaud: {
      const std::string port = session.Port();
      if (int code = ReportProblem(context, service::SetPrinterBaudRate(session, value), "the rate setting")) {
        return code;
      }
      return Done(context, "new_baud", value,
                  "Told the printer on " + port + " to use " + std::to_string(value) +
                      " baud; use --baud " + std::to_string(value) + " from now on.");
    }
    case CommandId::kSetCodePage:
      if (int code = ReportProblem(context, service::SelectCodePage866(session), "the code page setting")) {
        return code;
      }
      return Done(context, "codepage", 866, "Code page 866 selected.");
    case CommandId::kSetPaperWidth: return RunPaperWidth(context);
    default: return ToInt(ExitCode::kUsage);
  }
}

}  // namespace zelka::cli
