// What the command line asked for, checked: every value is in range before anything is
// sent to a printer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "graphics/picture_options.h"
#include "remote/address_filter.h"
#include "remote/connection_hub.h"
#include "service/test_receipts.h"

namespace zelka::cli {

// Where the value of an option that may have a default came from.
struct Origin {
  enum class Kind { kDefault, kCommandLine, kEnvironment, kConfigFile };
  Kind kind = Kind::kDefault;
  std::string file;  // kConfigFile
  int line = 0;      // kConfigFile
};

struct GlobalOptions {
  // --port (repeatable), else ZELKA_PORT, else the configuration file; empty: the
  // system's list. A name may be usb:SERIAL, resolved when the port is first needed.
  std::vector<std::string> ports;
  // The port ZELKA_PORT named when it stood in for --port (messages say so); else "".
  std::string environmentPort;
  // --baud, or the configuration file's with its own port: the printer is on the one
  // port at this rate, no search.
  std::optional<int> baud;
  bool json = false;
  bool trace = false;
  bool quiet = false;

  Origin portOrigin;
  Origin baudOrigin;
  Origin jsonOrigin;
  Origin paperOrigin;
};

struct Invocation {
  GlobalOptions global;
  const CommandSpec* command = nullptr;
  std::vector<std::string> arguments;  // after the command's words

  // The command's value, checked: the setting of `set`, the rate of `set baud`, the
  // width of `set paper-width`.
  int number = 0;
  service::ReceiptLayout layout = service::ReceiptLayout::k80mm;  // print test --paper
  std::uint16_t tcpPort = 4444;                                   // serve --tcp-port
  std::vector<std::string> listen;                                // serve --listen
  int maxClients = remote::kDefaultMaxClients;                    // serve --max-clients
  remote::AddressFilter allow;                                    // serve --allow
  graphics::ConversionOptions conversion;    // print picture, logo load: --paper, --threshold
  std::optional<std::string> preview;        // --preview OUT.png: write the dots, send nothing
  bool all = false;           // detect, info --all: every printer the search finds
  bool cut = false;           // print text, print qr --cut
  bool only = false;          // cut --only: without the sample lines
  bool force = false;         // settings restore --force: also onto another model
  bool codepage866 = false;   // settings save --codepage-866
  std::optional<std::string> logo;  // settings restore --logo FILE
  std::optional<int> paperMm;       // --paper or the configuration file's: 80 or 57
  int board = 0;                             // firmware recover --board: 3 or 4
};

}  // namespace zelka::cli
