// The subcommands: their words, arguments, options and help, as one table that the
// parser, the help and the dispatcher all read.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace zelka::cli {

enum class CommandId {
  kPorts, kDetect, kInfo,
  kFeed, kCut, kBeep, kSelfTest, kPaper, kDrawerOpen, kDrawerStatus,
  kSetCutLine, kSetDensity, kSetBaud, kSetCodePage, kSetPaperWidth,
  kPrintTest, kPrintQr, kPrintPicture, kPrintText,
  kLogoLoad, kLogoErase, kLogoPrint,
  kFirmwareCheck, kFirmwareUpdate, kFirmwareRecover,
  kServe,
  kConfig, kSettingsSave, kSettingsRestore, kPrintRaw,
};

// Options that only some subcommands take.
enum CommandOption : unsigned {
  kNoCommandOption = 0,
  kPaperOption = 1u << 0,    // --paper (print test)
  kTcpPortOption = 1u << 1,  // --tcp-port (serve)
  kListenOption = 1u << 2,   // --listen (serve)
  kMaxClientsOption = 1u << 3,  // --max-clients (serve)
  kAllowOption = 1u << 4,       // --allow (serve)
  kThresholdOption = 1u << 5,   // --threshold (print picture, logo load)
  kPreviewOption = 1u << 6,     // --preview (print picture, logo load)
  kAllOption = 1u << 7,         // --all (detect, info)
  kCutOption = 1u << 8,         // --cut (print text, print qr)
  kOnlyOption = 1u << 9,        // --only (cut)
  kLogoOption = 1u << 10,       // --logo (settings restore)
  kForceOption = 1u << 11,      // --force (settings restore)
  kCodePageOption = 1u << 12,   // --codepage-866 (settings save)
  kBoardOption = 1u << 13,      // --board (firmware recover)
};

struct CommandSpec {
  CommandId id;
  const char* group;      // the first word: "set", "print"; the whole word for one-word commands
  const char* name;       // the second word; "" for one-word commands
  const char* arguments;  // as shown in the usage line: "N", "FILE", "[FILE]"
  std::size_t minArguments;
  std::size_t maxArguments;
  unsigned options;       // CommandOption bits
  bool needsPrinter;      // the printer is searched for (or taken from --port/--baud) first
  const char* summary;
  const char* details;    // the valid values and what is sent; "" for none
};

std::span<const CommandSpec> Commands();

// The command of `group` and `name` ("" for one-word commands); nullptr when none.
const CommandSpec* FindCommand(const std::string& group, const std::string& name);
// True when `group` is the first word of a two-word command ("set", "print").
bool IsGroup(const std::string& group);
// The commands of `group`, in table order.
std::vector<const CommandSpec*> GroupCommands(const std::string& group);

// "set density N"
std::string CommandWords(const CommandSpec& command);
std::string UsageLine(const CommandSpec& command);

}  // namespace zelka::cli
