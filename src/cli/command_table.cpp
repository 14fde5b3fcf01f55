#include "cli/command_table.h"

namespace zelka::cli {

namespace {

constexpr CommandSpec kCommands[] = {
    {CommandId::kPorts, "ports", "", "", 0, 0, kNoCommandOption, false,
     "List the serial ports and whether you may open them",
     "Access is one of: ok, permission denied, busy, absent, error.\n"
     "Each port is opened and closed again to find out; nothing is sent.\n"
     "A port is shown by its full path, then the system's description, the USB\n"
     "vendor:product id and serial number, and on the lines below its stable names\n"
     "(/dev/serial/by-id/..., which follow the adapter to any socket). Any of these,\n"
     "or usb:SERIAL, names the port for --port. With --port only the named ports are\n"
     "shown."},
    {CommandId::kConfig, "config", "", "", 0, 0, kNoCommandOption, false,
     "Show the defaults in force and where each comes from",
     "The defaults port, baud, json and paper come from the command line first, then\n"
     "(the port only) ZELKA_PORT, then $XDG_CONFIG_HOME/zelka/zelka.conf (by default\n"
     "~/.config/zelka/zelka.conf), then /etc/zelka/zelka.conf. A file holds lines\n"
     "\"key = value\" and # comments:\n"
     "  port = /dev/serial/by-id/usb-...   a port name, path or usb:SERIAL\n"
     "  baud = 57600                       with the file's port only: no search\n"
     "  json = true                        true or false\n"
     "  paper = 57                         80 or 57, for the commands that take --paper\n"
     "An unknown key or a bad value is an error (exit 2) naming the file and line."},
    {CommandId::kDetect, "detect", "", "", 0, 0, kAllOption, true,
     "Find the printer: print its port and rate",
     "Every listed port is probed at 57600, 9600, 115200 and 19200 baud, rate by rate,\n"
     "all ports of a rate at once; the first port that answers is the printer.\n"
     "--all goes on after the first answer and prints every printer found, once, with\n"
     "its rate (JSON: a list). It takes about as long as a search that finds nothing."},
    {CommandId::kInfo, "info", "", "", 0, 0, kAllOption, true,
     "Find the printer and print its identity and state",
     "Model, serial number, boot and main firmware, paper, drawer, logo, paper width,\n"
     "build date, and for the model \"Printer Zelka\" its cut line and density.\n"
     "A value the printer did not give shows as \"no answer\" (null in JSON).\n"
     "--all identifies every printer the search finds: one block each (JSON: a list)."},
    {CommandId::kFeed, "feed", "", "", 0, 0, kNoCommandOption, true, "Feed the paper one line", ""},
    {CommandId::kCut, "cut", "", "", 0, 0, kOnlyOption, true,
     "Print three sample lines, feed and cut",
     "--only feeds and cuts without the sample lines."},
    {CommandId::kBeep, "beep", "", "", 0, 0, kNoCommandOption, true, "Sound the printer's signal", ""},
    {CommandId::kSelfTest, "selftest", "", "", 0, 0, kNoCommandOption, true,
     "Run the printer's self-test and check that it answers", ""},
    {CommandId::kPaper, "paper", "", "", 0, 0, kNoCommandOption, true,
     "Read the paper sensor: present or absent", ""},
    {CommandId::kDrawerOpen, "drawer", "open", "", 0, 0, kNoCommandOption, true,
     "Open the cash drawer", ""},
    {CommandId::kDrawerStatus, "drawer", "status", "", 0, 0, kNoCommandOption, true,
     "Read the cash drawer's state: closed or open", ""},
    {CommandId::kSetCutLine, "set", "cut-line", "N", 1, 1, kNoCommandOption, true,
     "Set the cut line's position", "N is 0..50. The printer does not confirm settings."},
    {CommandId::kSetDensity, "set", "density", "N", 1, 1, kNoCommandOption, true,
     "Set the print density", "N is 20..100. The printer does not confirm settings."},
    {CommandId::kSetBaud, "set", "baud", "RATE", 1, 1, kNoCommandOption, true,
     "Set the printer's baud rate",
     "RATE is 9600, 19200, 57600 or 115200. Use the new rate with --baud from then on."},
    {CommandId::kSetCodePage, "set", "codepage", "866", 1, 1, kNoCommandOption, true,
     "Select code page 866 for text", "866 is the only code page."},
    {CommandId::kSetPaperWidth, "set", "paper-width", "MM", 1, 1, kNoCommandOption, true,
     "Set the paper width and print what the printer reads back", "MM is 80 or 57."},
    {CommandId::kSettingsSave, "settings", "save", "FILE", 1, 1, kCodePageOption, true,
     "Save the printer's stored settings to a file",
     "Writes JSON (format version 1): the model, serial number, the rate it answers at,\n"
     "the paper width, for \"Printer Zelka\" the cut line and density, and the date.\n"
     "Only queries are sent. The printer cannot tell its code page: --codepage-866\n"
     "records that code page 866 is to be selected on restore."},
    {CommandId::kSettingsRestore, "settings", "restore", "FILE", 1, 1, kLogoOption | kForceOption, true,
     "Write saved settings to a printer and read them back",
     "The file is checked before anything is sent (exit 7: not a settings file, another\n"
     "format version, a value out of range). A file of another model is refused (exit 7)\n"
     "unless --force. Written in this order: paper width, cut line, density, code page,\n"
     "the logo of --logo LOGO.bmp (stored as by \"logo load\"), the rate last; then the\n"
     "printer is asked at the new rate and each value reported as set or different\n"
     "(exit 1 when one differs). Use the file's rate with --baud from then on."},
    {CommandId::kPrintTest, "print", "test", "", 0, 0, kPaperOption, true,
     "Print the test receipt",
     "--paper 80 (the default), 57, or 57-on-80 (the 57 mm layout on an 80 mm printer)."},
    {CommandId::kPrintQr, "print", "qr", "[TEXT]", 0, 1, kCutOption, true,
     "Print a QR code of TEXT, or the sample QR code",
     "TEXT (UTF-8, 1 to 7089 bytes) is stored whole in the symbol and printed; --cut then\n"
     "feeds and cuts. Without TEXT the sample symbol prints, then feed and cut."},
    {CommandId::kPrintPicture, "print", "picture", "FILE", 1, 1,
     kPaperOption | kThresholdOption | kPreviewOption, true,
     "Print a picture, then feed and cut",
     "A one-bit BMP (8 to 2040 dots wide, at most 700000 bytes) is sent as it is;\n"
     "other BMP, PNG, JPEG and GIF pictures are converted to dots for the paper:\n"
     "scaled down to its width (--paper 80: 576 dots, the default; 57: 384 dots),\n"
     "dithered, or cut at a fixed grey level with --threshold N (0..255).\n"
     "--preview OUT.png writes the dots as they would print and sends nothing."},
    {CommandId::kPrintText, "print", "text", "[FILE]", 0, 1, kCutOption, true,
     "Print lines of UTF-8 text from FILE or standard input",
     "Each line is printed in code page 866, cut to what one printed line holds\n"
     "(57 characters for \"Printer Zelka\", 56 for other models). FILE \"-\" is standard input.\n"
     "Text never becomes a printer command: control characters are dropped (a tab\n"
     "becomes spaces), invalid UTF-8 and characters without a plain form in code\n"
     "page 866 become \"?\". Lines print as they are read; a line longer than 65536\n"
     "bytes ends the command (exit 7).\n"
     "--cut feeds and cuts after the last line."},
    {CommandId::kPrintRaw, "print", "raw", "FILE|-", 1, 1, kNoCommandOption, true,
     "Send a prepared print job byte for byte",
     "FILE (or \"-\", standard input) is read whole, at most 1048576 bytes, and sent as it\n"
     "is: every byte reaches the printer, commands included. --trace shows the writes."},
    {CommandId::kLogoLoad, "logo", "load", "FILE", 1, 1,
     kPaperOption | kThresholdOption | kPreviewOption, true,
     "Store a picture as the printer's logo and read back whether it is stored",
     "A one-bit BMP is stored as it is; other BMP, PNG, JPEG and GIF pictures are\n"
     "converted as for \"print picture\" (--paper, --threshold, --preview)."},
    {CommandId::kLogoErase, "logo", "erase", "", 0, 0, kNoCommandOption, true,
     "Erase the stored logo", ""},
    {CommandId::kLogoPrint, "logo", "print", "", 0, 0, kNoCommandOption, true,
     "Print the stored logo", ""},
    {CommandId::kFirmwareCheck, "firmware", "check", "FILE", 1, 1, kNoCommandOption, true,
     "Check that a firmware file suits the printer's board",
     "Only the board query is sent; the printer is not changed."},
    {CommandId::kFirmwareUpdate, "firmware", "update", "FILE", 1, 1, kNoCommandOption, true,
     "Check a firmware file against the board, then flash it",
     "Do not switch the printer off while it runs. Progress goes to standard error.\n"
     "Once the printer is in its bootloader, Ctrl+C, SIGTERM and SIGHUP do not stop the\n"
     "update; a second Ctrl+C abandons it at the next block (then \"firmware recover\")."},
    {CommandId::kFirmwareRecover, "firmware", "recover", "FILE", 1, 1, kBoardOption, false,
     "Flash a printer that waits in its bootloader (an update stopped half-way)",
     "--board 3|4 is the printer's board: the bootloader cannot tell it, so the file's last\n"
     "byte must name the same board. Without --port every serial port is asked at 57600\n"
     "baud whether a bootloader waits there (00 FE). Progress goes to standard error."},
    {CommandId::kServe, "serve", "", "", 0, 0,
     kTcpPortOption | kListenOption | kMaxClientsOption | kAllowOption, false,
     "Run the remote service for POS software until SIGTERM or SIGINT",
     "--tcp-port N       listen on TCP port N (default 4444; 0 = any free port)\n"
     "--listen ADDR      listen on this IP address only (repeatable; default all)\n"
     "--max-clients N    serve at most N clients at once (default 64); one more is\n"
     "                   closed at once, unserved\n"
     "--allow ADDR[/N]   accept clients from this address or subnet only (repeatable;\n"
     "                   default everyone: whoever reaches the port can open the drawer)\n"
     "Prints \"Remote service listening on port N\" once it listens."},
};

}  // namespace

std::span<const CommandSpec> Commands() { return kCommands; }

const CommandSpec* FindCommand(const std::string& group, const std::string& name) {
  for (const CommandSpec& command : kCommands) {
    if (group == command.group && name == command.name) return &command;
  }
  return nullptr;
}

bool IsGroup(const std::string& group) {
  for (const CommandSpec& command : kCommands) {
    if (group == command.group && *command.name != '\0') return true;
  }
  return false;
}

std::vector<const CommandSpec*> GroupCommands(const std::string& group) {
  std::vector<const CommandSpec*> found;
  for (const CommandSpec& command : kCommands) {
    if (group == command.group) found.push_back(&command);
  }
  return found;
}

std::string CommandWords(const CommandSpec& command) {
  std::string words = command.group;
  if (*command.name != '\0') words += std::string(" ") + command.name;
  return words;
}

std::string UsageLine(const CommandSpec& command) {
  std::string line = "zelka [options] " + CommandWords(command);
  if (command.options & kPaperOption) {
    line += command.options & kPreviewOption ? " [--paper 80|57]" : " [--paper 80|57|57-on-80]";
  }
  if (command.options & kThresholdOption) line += " [--threshold N]";
  if (command.options & kPreviewOption) line += " [--preview OUT.png]";
  if (command.options & kTcpPortOption) line += " [--tcp-port N]";
  if (command.options & kListenOption) line += " [--listen ADDRESS]...";
  if (command.options & kMaxClientsOption) line += " [--max-clients N]";
  if (command.options & kAllowOption) line += " [--allow ADDRESS[/PREFIX]]...";
  if (command.options & kAllOption) line += " [--all]";
  if (command.options & kCutOption) line += " [--cut]";
  if (command.options & kOnlyOption) line += " [--only]";
  if (command.options & kCodePageOption) line += " [--codepage-866]";
  if (command.options & kLogoOption) line += " [--logo LOGO.bmp]";
  if (command.options & kForceOption) line += " [--force]";
  if (command.options & kBoardOption) line += " --board 3|4";
  if (*command.arguments != '\0') line += std::string(" ") + command.arguments;
  return line;
}

}  // namespace zelka::cli
