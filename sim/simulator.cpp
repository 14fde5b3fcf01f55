#include "sim/simulator.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <thread>

#include <QString>

#include "sim/command_parser.h"
#include "sim/fault_list.h"
#include "sim/printer_model.h"
#include "sim/pty_port.h"
#include "sim/render/receipt_printer.h"
#include "sim/render/receipt_spooler.h"

namespace zelka::sim {
namespace {

using Clock = std::chrono::steady_clock;

// The longest wait for bytes: Stop() waits for it, and a program that opens the port in
// the instant the simulator looks away waits for it too. The poll wakes for bytes, for a
// program opening or closing the port and for a late reply anyway.
constexpr std::chrono::milliseconds kPollInterval{5};
// The longest wait while nobody holds the port: it only delays Stop().
constexpr std::chrono::milliseconds kIdleInterval{20};
constexpr char kGarbageName[] = "garbage";
// What a line-speed read takes at once: small enough that the pace is even.
constexpr std::size_t kLineSpeedChunk = 64;

}  // namespace

struct Simulator::Impl {
  explicit Impl(Simulator& owner) : sim(owner) {}

  struct PendingReply {
    Clock::time_point due;
    Bytes bytes;
    int baud;  // the printer answers at the rate the command came at
  };

  void Serve();
  std::chrono::milliseconds PollTimeout(std::chrono::milliseconds longest = kPollInterval) const;
  void HandleChunk(const Bytes& chunk);
  // Waits as long as `bytes` take on the line at the printer's rate.
  void WaitLineTime(std::size_t bytes);
  void HandleCommand(const ParsedCommand& command, int baud, Clock::time_point now);
  void OnSlaveClosed();
  // Held replies fall due now once the test has released them.
  void TakeReleased();
  void SendDueReplies();
  void AppendLog(LogEntry entry);  // under sim.mutex_
  void Print(const ParsedCommand& command);  // under sim.mutex_
  void KeepReceipt(ReceiptImage receipt);    // on the spooler's thread

  Simulator& sim;

  // Start/Stop against each other; never taken by the serving thread.
  std::mutex lifecycle;
  std::thread thread;
  std::atomic<bool> stopping{false};
  std::atomic<bool> running{false};

  // Serving thread only (and Start/Stop while it does not run).
  PtyPort port;
  CommandParser parser;
  std::vector<PendingReply> pending;  // by due time
  std::vector<PendingReply> held;     // kept back by Held faults
  std::atomic<bool> releaseHeld{false};
  int lastBaud = 0;

  // Under sim.mutex_.
  std::string portName;
  PrinterModel model;
  FaultList faults;
  bool silent = false;
  std::atomic<bool> lineSpeed{false};
  std::vector<LogEntry> log;
  std::size_t commandCount = 0;  // log entries that are not garbage
  std::condition_variable logGrew;  // also told of every new receipt
  std::vector<ReceiptImage> receipts;  // the newest kKeptReceipts
  std::size_t receiptCount = 0;        // cut since the start or ClearReceipts()
  int receiptNumber = 0;               // names the files, never reset
  std::string receiptDirectory;

  // Last, so that it stops (and stops calling KeepReceipt) before the rest goes.
  ReceiptSpooler spooler{[this](ReceiptImage receipt) { KeepReceipt(std::move(receipt)); }};
};

void Simulator::Impl::Serve() {
  Bytes chunk;
  while (!stopping) {
    const auto ready = port.Wait(PollTimeout());
    const bool gotBytes = ready.readable && port.Read(chunk, lineSpeed ? kLineSpeedChunk : SIZE_MAX);
    if (gotBytes) HandleChunk(chunk);
    if (gotBytes && lineSpeed) WaitLineTime(chunk.size());
    // After the read, so that the replies to what was just read are not yet written and
    // the close of the program before them is already known.
    if (port.SlaveClosedSinceLastAsked()) OnSlaveClosed();
    if (ready.hungUp && !gotBytes) port.WaitForOpen(PollTimeout(kIdleInterval));
    TakeReleased();
    SendDueReplies();
  }
}

std::chrono::milliseconds Simulator::Impl::PollTimeout(std::chrono::milliseconds longest) const {
  if (pending.empty()) return longest;
  const auto untilDue =
      std::chrono::ceil<std::chrono::milliseconds>(pending.front().due - Clock::now());
  return std::clamp(untilDue, std::chrono::milliseconds{0}, longest);
}

void Simulator::Impl::HandleChunk(const Bytes& chunk) {
  // The rate is read when the bytes are: that is the rate the program sent them at,
  // unless the program has closed the port since (see PtyPort::kIdleBaud) and their rate
  // is lost. Such bytes never wait for a reply (a feed, a drawer kick, a setting), and
  // they are taken at the printer's own rate: a rate the program guessed wrong shows in
  // every exchange that waits for an answer.
  const auto now = Clock::now();
  std::lock_guard lock(sim.mutex_);
  int baud = port.LineBaud();
  if (baud == PtyPort::kIdleBaud || baud == 0) baud = model.ListeningBaud(sim.state_);
  lastBaud = baud;
  if (baud != model.ListeningBaud(sim.state_)) {
    // A UART at the wrong rate sees framing noise, not commands: nothing of it is parsed,
    // so it can neither be answered nor leave half a command behind.
    AppendLog({kGarbageName, chunk, baud, true});
    return;
  }
  parser.Feed(chunk);
  while (auto command = parser.Next()) {
    HandleCommand(*command, baud, now);
    // The printer decides which framing its next bytes have: an end (04) of a transfer
    // that was not whole leaves it in the bootloader.
    parser.SetMode(model.InBootloader() ? CommandParser::Mode::Bootloader : CommandParser::Mode::Normal);
  }
}

void Simulator::Impl::HandleCommand(const ParsedCommand& command, int baud, Clock::time_point now) {
  AppendLog({command.name, command.bytes, baud, false});
  const Bytes ownReply = model.Apply(command, sim.state_);
  Print(command);
  if (silent) return;
  ReplyPlan plan = faults.Resolve(command.bytes, ownReply);
  if (plan.bytes.empty()) return;
  PendingReply reply{now + plan.delay, std::move(plan.bytes), baud};
  if (plan.held) {
    held.push_back(std::move(reply));
    return;
  }
  const auto at = std::upper_bound(pending.begin(), pending.end(), reply.due,
                                   [](Clock::time_point due, const PendingReply& p) { return due < p.due; });
  pending.insert(at, std::move(reply));
}

void Simulator::Impl::OnSlaveClosed() {
  port.DiscardUnreadReplies();
  // The program is gone, so no byte will come to end a text run it left open.
  std::lock_guard lock(sim.mutex_);
  if (auto text = parser.FlushText()) {
    AppendLog({text->name, text->bytes, lastBaud, false});
    Print(*text);
  }
}

void Simulator::Impl::TakeReleased() {
  if (!releaseHeld.exchange(false)) return;
  const auto now = Clock::now();
  for (PendingReply& reply : held) reply.due = now;
  pending.insert(pending.begin(), std::make_move_iterator(held.begin()), std::make_move_iterator(held.end()));
  held.clear();
}

void Simulator::Impl::SendDueReplies() {
  const auto now = Clock::now();
  auto due = pending.begin();
  while (due != pending.end() && due->due <= now) {
    // With nobody holding the port, or the port moved to another rate since the command,
    // the reply goes out onto a line where nobody hears it as bytes.
    if (!port.Wait(std::chrono::milliseconds{0}).hungUp && port.LineBaud() == due->baud) {
      port.Write(due->bytes);
    }
    ++due;
  }
  pending.erase(pending.begin(), due);
}

void Simulator::Impl::Print(const ParsedCommand& command) {
  // The width is the one the paper had when the command came, not when it is drawn.
  spooler.Submit(command, PaperDots(sim.state_));
}

void Simulator::Impl::KeepReceipt(ReceiptImage receipt) {
  std::string directory;
  int number = 0;
  {
    std::lock_guard lock(sim.mutex_);
    directory = receiptDirectory;
    number = ++receiptNumber;
  }
  if (!directory.empty()) {
    const QString file = QString::asprintf("receipt-%03d.png", number);
    receipt.image.save(QString::fromStdString(directory) + '/' + file, "PNG");
  }
  std::lock_guard lock(sim.mutex_);
  receipts.push_back(std::move(receipt));
  if (receipts.size() > kKeptReceipts) receipts.erase(receipts.begin());
  ++receiptCount;
  logGrew.notify_all();
}

void Simulator::Impl::AppendLog(LogEntry entry) {
  if (!entry.garbage) ++commandCount;
  log.push_back(std::move(entry));
  logGrew.notify_all();
}

Simulator::Simulator() : Simulator(DefaultPrinter()) {}

Simulator::Simulator(PrinterState state) : state_(std::move(state)), impl_(std::make_unique<Impl>(*this)) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
  std::lock_guard guard(impl_->lifecycle);
  if (impl_->running) return true;
  if (!impl_->port.Open(error)) return false;
  {
    std::lock_guard lock(mutex_);
    impl_->portName = impl_->port.SlaveName();
  }
  impl_->parser.Reset();
  impl_->parser.SetMode(impl_->model.InBootloader() ? CommandParser::Mode::Bootloader
                                                    : CommandParser::Mode::Normal);
  impl_->pending.clear();
  impl_->held.clear();
  impl_->stopping = false;
  impl_->thread = std::thread([impl = impl_.get()] { impl->Serve(); });
  impl_->running = true;
  return true;
}

void Simulator::Stop() {
  std::lock_guard guard(impl_->lifecycle);
  if (!impl_->running) return;
  impl_->stopping = true;
  impl_->thread.join();
  impl_->port.Close();
  // Whatever the line brought is printed before the printer counts as stopped.
  impl_->spooler.WaitUntilIdle();
  impl_->running = false;
}

bool Simulator::Running() const { return impl_->running; }

std::string Simulator::PortName() const {
  std::lock_guard lock(mutex_);
  return impl_->portName;
}

PrinterState Simulator::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

void Simulator::SetState(const PrinterState& state) {
  std::lock_guard lock(mutex_);
  state_ = state;
}

void Simulator::Impl::WaitLineTime(std::size_t bytes) {
  int baud = 0;
  {
    std::lock_guard lock(sim.mutex_);
    baud = std::max(model.ListeningBaud(sim.state_), 1);
  }
  constexpr std::int64_t kBitsPerByte = 10;
  std::this_thread::sleep_for(std::chrono::microseconds(
      static_cast<std::int64_t>(bytes) * kBitsPerByte * 1'000'000 / baud));
}

void Simulator::SetLineSpeedReading(bool on) { impl_->lineSpeed = on; }

void Simulator::SetSilent(bool silent) {
  std::lock_guard lock(mutex_);
  impl_->silent = silent;
}

void Simulator::AddFault(Fault fault) {
  std::lock_guard lock(mutex_);
  impl_->faults.Add(std::move(fault));
}

void Simulator::ClearFaults() {
  std::lock_guard lock(mutex_);
  impl_->faults.Clear();
}

void Simulator::ReleaseHeld() { impl_->releaseHeld = true; }

void Simulator::StrandInBootloader() {
  std::lock_guard lock(mutex_);
  impl_->model.Strand();
  // The parser is the serving thread's, but it parses under this lock.
  impl_->parser.Reset();
  impl_->parser.SetMode(CommandParser::Mode::Bootloader);
}

bool Simulator::InBootloader() const {
  std::lock_guard lock(mutex_);
  return impl_->model.InBootloader();
}

std::vector<LogEntry> Simulator::Log() const { return LogSince(0); }

std::vector<LogEntry> Simulator::LogSince(std::size_t first) const {
  std::lock_guard lock(mutex_);
  const auto& log = impl_->log;
  if (first >= log.size()) return {};
  return {log.begin() + static_cast<std::ptrdiff_t>(first), log.end()};
}

std::vector<std::string> Simulator::CommandNames() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const auto& entry : impl_->log) {
    if (!entry.garbage) names.push_back(entry.name);
  }
  return names;
}

void Simulator::ClearLog() {
  std::lock_guard lock(mutex_);
  impl_->log.clear();
  impl_->commandCount = 0;
}

bool Simulator::WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return impl_->logGrew.wait_for(lock, timeout, [&] { return impl_->commandCount >= count; });
}

Bytes Simulator::ReceivedImage() const {
  std::lock_guard lock(mutex_);
  return impl_->model.ReceivedImage();
}

std::vector<ReceiptImage> Simulator::Receipts() const {
  std::lock_guard lock(mutex_);
  return impl_->receipts;
}

void Simulator::ClearReceipts() {
  std::lock_guard lock(mutex_);
  impl_->receipts.clear();
  impl_->receiptCount = 0;
}

bool Simulator::WaitForReceipts(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return impl_->logGrew.wait_for(lock, timeout, [&] { return impl_->receiptCount >= count; });
}

void Simulator::SetReceiptDirectory(const std::string& directory) {
  std::lock_guard lock(mutex_);
  impl_->receiptDirectory = directory;
}

}  // namespace zelka::sim
