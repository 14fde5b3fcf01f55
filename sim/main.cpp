// zelka-sim: a simulated Zelka printer on a pseudo-terminal, for trying the utility
// without hardware. Prints the port to open, then serves until SIGINT or SIGTERM.
//
//   zelka-sim [--baud N] [--model TEXT] [--bootloader] [--log] [--receipts DIR]
//
// --receipts DIR saves every printed receipt as DIR/receipt-NNN.png. --bootloader starts
// a printer whose last update stopped half-way: it waits in its bootloader.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include <QGuiApplication>

#include "sim/simulator.h"

namespace {

std::atomic<bool> gQuit{false};

void OnSignal(int) { gQuit = true; }

constexpr std::size_t kModelReplyBytes = 17;
constexpr std::size_t kMaxHexBytesShown = 48;
constexpr std::chrono::milliseconds kLogPollInterval{20};
constexpr int kKnownRates[] = {9600, 19200, 38400, 57600, 115200};

struct Options {
  int baud = 57600;
  std::string model;
  bool log = false;
  bool bootloader = false;
  std::string receipts;
};

void Usage(std::ostream& out) {
  out << "usage: zelka-sim [--baud N] [--model TEXT] [--bootloader] [--log] [--receipts DIR]\n";
}

void Help() {
  Usage(std::cout);
  std::cout << "Plays one Zelka receipt printer on a pseudo-terminal and prints the path to open.\n"
               "\n"
               "  --baud N         the printer's rate: 9600, 19200, 38400, 57600 (default), 115200\n"
               "  --model TEXT     the model name it reports (default \"Printer Zelka\")\n"
               "  --bootloader     start in the bootloader at 57600, as a printer whose update\n"
               "                   stopped half-way (zelka firmware recover brings it back)\n"
               "  --log            print every command it receives, with its rate\n"
               "  --receipts DIR   save every receipt it cuts as DIR/receipt-NNN.png\n"
               "  -h, --help       show this help\n";
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--log") {
      options.log = true;
    } else if (arg == "--bootloader") {
      options.bootloader = true;
    } else if (arg == "--baud" && i + 1 < argc) {
      options.baud = std::atoi(argv[++i]);
      if (std::find(std::begin(kKnownRates), std::end(kKnownRates), options.baud) == std::end(kKnownRates)) {
        std::cerr << "zelka-sim: unsupported baud rate " << argv[i] << "\n";
        return false;
      }
    } else if (arg == "--model" && i + 1 < argc) {
      options.model = argv[++i];
    } else if (arg == "--receipts" && i + 1 < argc) {
      options.receipts = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

std::string Hex(const zelka::sim::Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  const std::size_t shown = std::min(bytes.size(), kMaxHexBytesShown);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  if (shown < bytes.size()) out += " ... (" + std::to_string(bytes.size()) + " bytes)";
  return out;
}

void PrintEntry(const zelka::sim::LogEntry& entry) {
  std::cout << (entry.garbage ? "garbage" : entry.name) << "  " << Hex(entry.bytes) << "  @"
            << entry.baud << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      Help();
      return 0;
    }
  }
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage(std::cerr);
    return 2;
  }
  std::error_code made;
  if (!options.receipts.empty() && !std::filesystem::create_directories(options.receipts, made) && made) {
    std::cerr << "zelka-sim: cannot create " << options.receipts << ": " << made.message() << "\n";
    return 1;
  }
  // The print engine draws receipt text with Qt's fonts; no window is ever shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  auto state = zelka::sim::DefaultPrinter();
  state.baud = options.baud;
  if (!options.model.empty()) state.modelReply = zelka::sim::MakeTextReply(options.model, kModelReplyBytes);

  zelka::sim::Simulator sim(state);
  sim.SetReceiptDirectory(options.receipts);
  if (options.bootloader) sim.StrandInBootloader();
  std::string error;
  if (!sim.Start(&error)) {
    std::cerr << "zelka-sim: " << error << "\n";
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::cout << sim.PortName() << std::endl;

  std::size_t shown = 0;
  while (!gQuit) {
    std::this_thread::sleep_for(kLogPollInterval);
    if (!options.log) continue;
    const auto entries = sim.LogSince(shown);
    for (const auto& entry : entries) PrintEntry(entry);
    shown += entries.size();
    if (!entries.empty()) std::cout.flush();
  }
  sim.Stop();
  return 0;
}
