// What a subcommand runs with: the checked command line, the output, the printer session
// and the files it read before any printer was searched for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/config_file.h"
#include "cli/invocation.h"
#include "cli/settings_file.h"
#include "cli/output.h"
#include "cli/text_input.h"
#include "firmware/firmware_file.h"
#include "graphics/logo_store.h"
#include "graphics/picture_print.h"
#include "printer/session.h"

namespace zelka::cli {

// The files a subcommand reads, read whole (print text: opened) before the printer is
// searched for.
struct Inputs {
  graphics::Picture picture;
  graphics::Logo logo;
  firmware::FirmwareImage firmware;
  std::unique_ptr<TextInput> text;  // print text: its file or standard input, opened
  SettingsFile settings;              // settings restore
  std::vector<std::uint8_t> rawJob;   // print raw
};

struct Context {
  const Invocation& invocation;
  Output& output;
  printer::Session& session;
  Inputs inputs;
  std::FILE* in = stdin;           // print text without FILE
  bool errIsTerminal = false;      // the progress bar redraws in place
  link::Observer* trace = nullptr; // --trace: set on the session already; serve's worker too
  const ConfigFile* config = nullptr;  // the configuration files read (zelka config)
};

// Reports `result`'s problem (`what`: what was asked) and returns its exit code; 0 when
// the result is fine.
int ReportProblem(Context& context, const printer::Result& result, const std::string& what);

}  // namespace zelka::cli
