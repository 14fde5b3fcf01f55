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

struct GlobalOptions {
  // --port (repeatable), else ZELKA_PORT; empty: the system's list.
  std::vector<std::string> ports;
  // --baud: the printer is on the one port at this rate, no search.
  std::optional<int> baud;
  bool json = false;
  bool trace = false;
  bool quiet = false;
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
  int board = 0;                             // firmware recover --board: 3 or 4
};

}  // namespace zelka::cli
