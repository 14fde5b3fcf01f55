// logo load, erase, print.
#include "cli/commands.h"
#include "service/service_actions.h"

namespace zelka::cli {

namespace {

constexpr char kPowerCycle[] = "switch the printer off, wait 7 seconds and switch it on again";

int ShowState(Context& context, const service::StateReading& reading, const std::string& before) {
  if (!reading.bitSet) {
    return context.output.Fail(ExitCode::kFailed, before + "the printer " + PrinterWords(context.session) +
                                                      " did not answer the logo state query; " + kPowerCycle);
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("logo"), *reading.bitSet ? QStringLiteral("stored") : QStringLiteral("absent"));
  context.output.Result(before + "Logo: " + (*reading.bitSet ? "stored" : "absent") + "\n", object);
  return 0;
}

bool PortFailed(const printer::Result& result) {
  return result.problem == printer::Problem::kNoPrinter || result.problem == printer::Problem::kCannotOpen;
}

int RunLoad(Context& context) {
  const printer::Result sent = graphics::SendLogo(context.session, context.inputs.logo);
  if (PortFailed(sent)) return ReportProblem(context, sent, "the logo");
  // Part of the file may have gone out: the state tells what the printer made of it.
  const service::StateReading state = graphics::ReadLogoState(context.session);
  if (!sent.Ok()) {
    const std::string after = !state.bitSet ? "no answer" : *state.bitSet ? "stored" : "absent";
    return context.output.Fail(ExitCode::kFailed, "the logo could not be sent whole to the printer on " +
                                                      context.session.Port() + " (logo state now: " + after +
                                                      "); check the cable and load it again");
  }
  if (state.bitSet && !*state.bitSet) {
    return context.output.Fail(ExitCode::kFailed, "the printer on " + context.session.Port() +
                                                      " did not store the logo; " + kPowerCycle +
                                                      " and load it again");
  }
  return ShowState(context, state, "Logo loaded. ");
}

int RunErase(Context& context) {
  const service::StateReading state = graphics::EraseLogo(context.session);
  if (PortFailed(state.result)) return ReportProblem(context, state.result, "the logo erase");
  if (state.bitSet && *state.bitSet) {
    return context.output.Fail(ExitCode::kFailed,
                               "the printer on " + context.session.Port() + " still holds a logo after the erase; " +
                                   kPowerCycle + " and erase it again");
  }
  return ShowState(context, state, "");
}

}  // namespace

int RunLogoCommand(Context& context) {
  switch (context.invocation.command->id) {
    case CommandId::kLogoLoad: return RunLoad(context);
    case CommandId::kLogoErase: return RunErase(context);
    case CommandId::kLogoPrint: {
      if (int code = ReportProblem(context, service::PrintStoredLogo(context.session), "the logo print")) {
        return code;
      }
      context.output.Result(DoneWords(context, "Printed the stored logo", "the logo print"),
                            PrinterObject(context.session));
      return 0;
    }
    default: return ToInt(ExitCode::kUsage);
  }
}

}  // namespace zelka::cli
