#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/help_text.h"
#include "cli/input_files.h"
#include "cli/port_names.h"
#include "cli/printer_selection.h"
#include "cli/trace.h"

#ifndef ZELKA_VERSION
#error "ZELKA_VERSION must be defined by the build"
#endif

namespace zelka::cli {

namespace {

using Kind = ParseOutcome::Kind;

int Dispatch(Context& context) {
  switch (context.invocation.command->id) {
    case CommandId::kPorts: return RunPorts(context);
    case CommandId::kDetect:
    case CommandId::kInfo: return RunDiscoveryCommand(context);
    case CommandId::kFeed:
    case CommandId::kCut:
    case CommandId::kBeep:
    case CommandId::kSelfTest:
    case CommandId::kPaper:
    case CommandId::kDrawerOpen:
    case CommandId::kDrawerStatus: return RunServiceCommand(context);
    case CommandId::kSetCutLine:
    case CommandId::kSetDensity:
    case CommandId::kSetBaud:
    case CommandId::kSetCodePage:
    case CommandId::kSetPaperWidth: return RunSettingCommand(context);
    case CommandId::kPrintTest:
    case CommandId::kPrintQr:
    case CommandId::kPrintPicture:
    case CommandId::kPrintText:
    case CommandId::kPrintRaw: return RunPrintCommand(context);
    case CommandId::kLogoLoad:
    case CommandId::kLogoErase:
    case CommandId::kLogoPrint: return RunLogoCommand(context);
    case CommandId::kFirmwareCheck:
    case CommandId::kFirmwareUpdate:
    case CommandId::kFirmwareRecover: return RunFirmwareCommand(context);
    case CommandId::kServe: return RunServe(context);
    case CommandId::kConfig: return RunConfig(context);
    case CommandId::kSettingsSave:
    case CommandId::kSettingsRestore: return RunSettingsCommand(context);
  }
  return ToInt(ExitCode::kUsage);
}

int UsageError(const ParseOutcome& outcome, const Streams& streams) {
  Output output(streams.out, streams.err, outcome.json, false);
  const int code = output.Fail(ExitCode::kUsage, outcome.error);
  std::fputs(UsageText(outcome.helpTopic).c_str(), streams.err);
  return code;
}

// Commands that name ports: usb:SERIAL becomes the adapter's path before anything else.
bool UsesPorts(const CommandSpec& command) {
  return command.needsPrinter || command.id == CommandId::kPorts || command.id == CommandId::kServe;
}

}  // namespace

int Run(const QStringList& arguments, const std::optional<std::string>& environmentPort,
        const Streams& streams, const std::vector<std::string>& configFiles) {
  ConfigFile config;
  const std::optional<std::string> configError = ReadConfigFiles(configFiles, config);
  // A broken file must not keep --help and --version from working: they parse without it.
  const ParseOutcome outcome = ParseArguments(arguments, environmentPort, configError ? ConfigFile{} : config);
  switch (outcome.kind) {
    case Kind::kUsageError: return UsageError(outcome, streams);
    case Kind::kHelp: std::fputs(HelpText(outcome.helpTopic).c_str(), streams.out); return 0;
    case Kind::kVersion: std::fprintf(streams.out, "zelka %s\n", ZELKA_VERSION); return 0;
    case Kind::kRun: break;
  }
  Invocation invocation = outcome.invocation;
  Output output(streams.out, streams.err, invocation.global.json, invocation.global.quiet);
  if (configError) {
    return output.Fail(ExitCode::kUsage, *configError + "; correct the line or remove it");
  }
  if (UsesPorts(*invocation.command) && HasUsbNames(invocation.global.ports)) {
    if (const auto failure = ResolveUsbNames(invocation.global.ports, link::SystemPorts())) {
      return output.Fail(failure->code, failure->message);
    }
  }
  printer::Session session(streams.sleeper ? *streams.sleeper : printer::RealSleeper());
  TraceObserver trace(streams.err);
  if (invocation.global.trace) session.SetLinkObserver(&trace);
  Context context{invocation, output, session};
  context.in = streams.in;
  context.errIsTerminal = streams.errIsTerminal;
  context.trace = invocation.global.trace ? &trace : nullptr;
  context.config = &config;

  if (const int code = ReadInputs(context)) return code == kPreviewWritten ? 0 : code;
  // --all searches on its own, for every printer.
  if (invocation.command->needsPrinter && !invocation.all) {
    if (const int code = SelectPrinter(context)) return code;
  }
  const int code = Dispatch(context);
  session.EndJob();
  return code;
}

}  // namespace zelka::cli
