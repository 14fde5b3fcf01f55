// The subcommands, by group. Each runs once the command line and its files were checked
// and (for those that talk to a printer) the printer was selected; each returns its exit
// code and has said what happened through the context's output.
#pragma once

#include <QJsonObject>

#include "cli/context.h"

namespace zelka::cli {

int RunPorts(Context& context);
int RunDiscoveryCommand(Context& context);  // detect, info
int RunServiceCommand(Context& context);    // feed, cut, beep, selftest, paper, drawer
int RunSettingCommand(Context& context);    // set ...
int RunPrintCommand(Context& context);      // print ...
int RunLogoCommand(Context& context);       // logo ...
int RunFirmwareCommand(Context& context);   // firmware ...
int RunRecover(Context& context);           // firmware recover
int RunServe(Context& context);
int RunConfig(Context& context);
int RunSettingsCommand(Context& context);   // settings save, settings restore

// {"port": ..., "baud": ...} of the session's printer, the start of most JSON results.
QJsonObject PrinterObject(const printer::Session& session);
// "on /dev/ttyUSB0 at 57600 baud"
std::string PrinterWords(const printer::Session& session);
// The text result of an action whose frames get no reply: "`done` on ... baud." when a
// search has just found the printer; with --baud nothing shows that a printer is there,
// so only "Sent `sent` on ... baud; the printer does not confirm it."
std::string DoneWords(const Context& context, const std::string& done, const std::string& sent);

}  // namespace zelka::cli
