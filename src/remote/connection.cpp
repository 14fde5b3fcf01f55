#include "remote/connection.h"

#include <array>

#include "remote/connection_hub.h"

namespace zelka::remote {

namespace {

constexpr std::size_t kReadChunk = 4096;

}  // namespace

Connection::Connection(SocketDescriptor descriptor, ConnectionHub& hub)
    : descriptor_(descriptor),
      hub_(hub),
      box_(std::make_shared<Mailbox>(hub.Queue())),
      readable_(descriptor, QSocketNotifier::Read),
      writable_(descriptor, QSocketNotifier::Write) {
  writable_.setEnabled(false);
  stall_.setSingleShot(true);
  stall_.setInterval(kWriteStall);
  connect(&readable_, &QSocketNotifier::activated, this, &Connection::OnReadable);
  connect(&writable_, &QSocketNotifier::activated, this, &Connection::Flush);
  connect(&stall_, &QTimer::timeout, this, &Connection::Fail);
  departed_.setInterval(kDepartedCheck);
  connect(&departed_, &QTimer::timeout, this, &Connection::CheckDeparted);
}

Connection::~Connection() {
  box_->Close();
  if (!ended_) CloseSocket(descriptor_);
}

void Connection::Start() { WriteLine(kGreeting); }

void Connection::WriteLine(std::string_view utf8) {
  if (ended_) return;
  unsent_ += EncodeWrittenLine(utf8);
  Flush();
}

void Connection::CommandDone() {
  busy_ = false;
  if (ended_) return;
  ServeLines();
}

void Connection::OnReadable() {
  ReadInput();
  ServeLines();
}

void Connection::ReadInput() {
  if (ended_ || inputEnded_) return;
  if (reader_.Pending() >= kReadAhead || unsent_.size() >= kMaxUnsent) {
    UpdateReading();
    return;
  }
  std::array<char, kReadChunk> chunk;
  const IoResult read = ReadSome(descriptor_, chunk.data(), chunk.size());
  if (read.failed) {
    Fail();
  } else if (read.ended) {
    inputEnded_ = true;
    // Nothing more is read from it, so a reset would go unseen without a look now and then.
    departed_.start();
  } else if (read.bytes > 0) {
    reader_.Feed(std::string_view(chunk.data(), read.bytes));
  }
  UpdateReading();
}

void Connection::ServeLines() {
  std::string line;
  while (!busy_ && !ended_) {
    switch (reader_.Next(line)) {
      case LineReader::Result::Line:
        if (!RunLine(line)) {
          End();
          return;
        }
        continue;
      case LineReader::Result::TooLong: End(); return;
      case LineReader::Result::NeedMore: break;
    }
    break;
  }
  if (ended_) return;
  // All it sent has run: a client that has nothing more to say is done once its replies
  // are out.
  if (!busy_ && inputEnded_) {
    endWhenSent_ = true;
    Flush();
    return;
  }
  UpdateReading();
}

bool Connection::RunLine(const std::string& line) {
  const bool firstLine = firstLine_;
  firstLine_ = false;
  // Nothing of an HTTP request may run, not even a command-looking line in its body.
  if (LooksLikeHttp(line, firstLine)) return false;
  const Command* command = FindCommand(line);
  if (command == nullptr) return true;
  busy_ = hub_.Run(*this, *command);
  return true;
}

void Connection::Flush() {
  while (!unsent_.empty() && !ended_) {
    const IoResult written = WriteSome(descriptor_, unsent_.data(), unsent_.size());
    if (written.failed) {
      Fail();
      return;
    }
    if (written.wouldBlock) {
      writable_.setEnabled(true);
      if (!stall_.isActive()) stall_.start();
      return;
    }
    unsent_.erase(0, written.bytes);
    stall_.start();  // it took something: the client is alive
  }
  if (ended_) return;
  writable_.setEnabled(false);
  stall_.stop();
  if (endWhenSent_) {
    End();
    return;
  }
  UpdateReading();
}

void Connection::UpdateReading() {
  if (ended_) return;
  const bool room = reader_.Pending() < kReadAhead && unsent_.size() < kMaxUnsent;
  readable_.setEnabled(!inputEnded_ && room);
}

void Connection::CheckDeparted() {
  if (!ended_ && PeerGone(descriptor_)) Fail();
}

void Connection::Fail() {
  gone_ = true;
  End();
}

void Connection::End() {
  if (ended_) return;
  ended_ = true;
  readable_.setEnabled(false);
  writable_.setEnabled(false);
  stall_.stop();
  departed_.stop();
  CloseSocket(descriptor_);
  hub_.Ended(*this);
}

}  // namespace zelka::remote
