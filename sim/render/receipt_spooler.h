// Prints on a thread of its own, so that drawing a receipt never holds up the printer's
// serial line: the line is read and answered at once, and the print engine follows the
// commands in the order they came.
//
// Thread-safety: Submit() and WaitUntilIdle() may be called from any thread. The receipt
// callback runs on the spooler's thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "sim/command_parser.h"
#include "sim/render/receipt_image.h"
#include "sim/render/receipt_printer.h"

namespace zelka::sim {

class ReceiptSpooler {
 public:
  using ReceiptHandler = std::function<void(ReceiptImage)>;

  explicit ReceiptSpooler(ReceiptHandler onReceipt);
  // Prints what is still queued, then stops.
  ~ReceiptSpooler();
  ReceiptSpooler(const ReceiptSpooler&) = delete;
  ReceiptSpooler& operator=(const ReceiptSpooler&) = delete;

  // Queues one command that arrived while the paper was `paperDots` wide.
  void Submit(ParsedCommand command, int paperDots);
  // Returns once every command submitted so far has been printed.
  void WaitUntilIdle();

 private:
  struct Job {
    ParsedCommand command;
    int paperDots;
  };
  void Run();

  ReceiptHandler onReceipt_;
  ReceiptPrinter printer_;  // the spooler's thread only
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: starts after everything it uses exists
};

}  // namespace zelka::sim
