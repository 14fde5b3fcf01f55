// The utility's command line.
#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "remote/address_filter.h"
#include "remote/connection_hub.h"

namespace zelka::app {

struct Options {
  std::vector<std::string> ports;   // --port NAME, repeatable: replaces the system's list
  bool demo = false;                // --demo: a simulated printer on a pseudo-terminal
  std::optional<int> tcpPort;       // --tcp-port N (0 = any free port)
  std::vector<std::string> listen;  // --listen ADDRESS, repeatable
  int maxClients = remote::kDefaultMaxClients;  // --max-clients N
  remote::AddressFilter allow;                  // --allow ADDRESS[/PREFIX], repeatable
  std::optional<std::string> language;          // --lang ru|en (else the locale decides)
};

// Parses the arguments (Qt's own, like -platform, are taken off before; --help and
// --version were answered by AnswerBeforeWindow). On bad input returns nothing and sets
// `error` to a message for the user.
std::optional<Options> ParseOptions(const QStringList& arguments, std::string& error);

// What the arguments ask for that needs no window: the help, the version, or the refusal
// of a --lang that is neither ru nor en. Looked at before the window's application
// object is made, since that needs a display; Qt's own options are not taken off yet and
// pass unread. Nothing when the window is to start.
struct AnswerWithoutWindow {
  int exitCode = 0;
  std::string text;  // for standard output when exitCode is 0, else standard error
};
std::optional<AnswerWithoutWindow> AnswerBeforeWindow(const QStringList& arguments);

}  // namespace zelka::app
