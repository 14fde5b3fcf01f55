// The remote query protocol on the wire: text lines of 7-bit ASCII, a greeting, and the
// commands, each compared with a whole line.
//
// Pure functions over bytes; no socket and no printer here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelka::remote {

// The port POS software connects to when nothing else is configured.
inline constexpr std::uint16_t kDefaultTcpPort = 4444;

// Written once on every accepted connection, before anything is read.
inline constexpr std::string_view kGreeting = "SVE0000";
// Ends every line the program writes.
inline constexpr std::string_view kWrittenLineEnd = "\r\n";
// Ends every line a client sends; a CR right before it is not part of the line.
inline constexpr char kLineFeed = '\n';
inline constexpr char kCarriageReturn = '\r';
// The most bytes a client's line may hold (without its CR LF or LF); a longer line ends
// the connection.
inline constexpr std::size_t kMaxLineBytes = 16384;


enum class Action {
  SearchAndIdentify,  // search and identification; the records go back to the client
  KickDrawer,         // ESC p 0 150 150, then the drawer's pause
  FeedOneLine,        // LF
  PrintStoredLogo,    // GS / 0
  SetCaption,         // the window shows `caption` as the serial number's title
};

struct Command {
  std::string_view line;
  Action action;
  std::string_view caption;  // SetCaption only
};

// The commands, compared in this order, exactly and case-sensitively.
// clang-format off
inline constexpr Command kCommands[] = {
    {"SVEC000", Action::SearchAndIdentify, {}},
    {"SVEC001", Action::KickDrawer, {}},
    {"SVEC004", Action::FeedOneLine, {}},
    {"SVEC005", Action::PrintStoredLogo, {}},
    {"3", Action::SetCaption, "33333"},
    {"4", Action::SetCaption, "44444"},
    {"5", Action::SetCaption, "55555"},
};
// clang-format on

// The command a received line (LF and CR already taken off) asks for; nullptr for any
// other line. A byte from 0x80 upward stands for a character that no command holds, so
// such a line never matches.
const Command* FindCommand(std::string_view line);

// True for a line that only an HTTP client sends: a request line ("GET ", "POST ", ...
// at the start of the connection's first line) or a "Host:" header line (any case, any
// line). A web page in a browser on the POS machine can make it send such a request to
// this port; its lines must never reach the printer.
bool LooksLikeHttp(std::string_view line, bool firstLine);

// One written line: UTF-8 text with every character from 128 upward as "?", then CR LF.
std::string EncodeWrittenLine(std::string_view utf8);

}  // namespace zelka::remote
