#include "cli/help_text.h"

#include <cstdio>

#include "cli/command_table.h"
#include "cli/exit_code.h"

namespace zelka::cli {

namespace {

constexpr char kGlobalOptions[] =
    "Options (before or after the command):\n"
    "  -p, --port NAME  search only this port (repeatable, in this order); default: the\n"
    "                   ZELKA_PORT environment variable, then the configuration file\n"
    "                   (see \"zelka config --help\"), else every serial port. NAME is a\n"
    "                   path (/dev/ttyUSB0, /dev/serial/by-id/...) or usb:SERIAL, the\n"
    "                   USB adapter with that serial number wherever it is plugged in\n"
    "  -b, --baud N     the printer is on the one --port at this rate: no search\n"
    "      --json       print one JSON object on standard output\n"
    "      --trace      write every frame sent and read to standard error\n"
    "  -q, --quiet      print nothing but errors\n"
    "  -h, --help       show help (\"zelka COMMAND --help\" for a command)\n"
    "      --version    show the version\n";

constexpr char kSearchNote[] =
    "Without --baud the printer is searched for on every port at 57600, 9600, 115200 and\n"
    "19200 baud, as the window's search does.\n";

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + "  ";
}

std::string CommandLine(const CommandSpec& command) {
  std::string words = CommandWords(command);
  if (*command.arguments != '\0') words += std::string(" ") + command.arguments;
  return "  " + Padded(words, 22) + command.summary + "\n";
}

std::string ExitCodes() { return std::string("Exit codes:\n") + ExitCodeTable(); }

std::string CommandHelp(const CommandSpec& command) {
  std::string text = "Usage: " + UsageLine(command) + "\n\n" + command.summary + ".\n";
  if (*command.details != '\0') text += std::string("\n") + command.details + "\n";
  if (command.needsPrinter) text += std::string("\n") + kSearchNote;
  return text + "\n" + kGlobalOptions + "\n" + ExitCodes();
}

}  // namespace

std::string HelpText(const std::string& topic) {
  for (const CommandSpec& command : Commands()) {
    if (topic == CommandWords(command)) return CommandHelp(command);
  }
  std::string text;
  if (!topic.empty()) {
    text = "Usage: zelka [options] " + topic + " SUBCOMMAND\n\nSubcommands:\n";
    for (const CommandSpec* command : GroupCommands(topic)) text += CommandLine(*command);
    return text + "\n" + kGlobalOptions;
  }
  text = "Usage: zelka [options] COMMAND [arguments]\n\n"
         "Drives a Zelka receipt printer on a serial port from scripts and terminals.\n\n"
         "Commands:\n";
  for (const CommandSpec& command : Commands()) text += CommandLine(command);
  return text + "\n" + kGlobalOptions + "\n" + kSearchNote + "\n" + ExitCodes();
}

std::string UsageText(const std::string& topic) {
  std::string text;
  for (const CommandSpec& command : Commands()) {
    const std::string words = CommandWords(command);
    const bool match = topic.empty() || topic == words || topic == command.group;
    if (!match) continue;
    text += (text.empty() ? "Usage: " : "       ") + UsageLine(command) + "\n";
    if (topic == words && *command.details != '\0') text += command.details + std::string("\n");
  }
  if (text.empty()) text = "Usage: zelka [options] COMMAND [arguments]\n";
  return text + "Run \"zelka --help\" for the commands and options.\n";
}

}  // namespace zelka::cli
