#include "sim/render/receipt_spooler.h"

namespace zelka::sim {

ReceiptSpooler::ReceiptSpooler(ReceiptHandler onReceipt)
    : onReceipt_(std::move(onReceipt)), thread_([this] { Run(); }) {}

ReceiptSpooler::~ReceiptSpooler() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void ReceiptSpooler::Submit(ParsedCommand command, int paperDots) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back({std::move(command), paperDots});
  }
  wake_.notify_one();
}

void ReceiptSpooler::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void ReceiptSpooler::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and nothing left to print
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    auto receipt = printer_.Apply(job.command, job.paperDots);
    if (receipt && onReceipt_) onReceipt_(std::move(*receipt));
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

}  // namespace zelka::sim
