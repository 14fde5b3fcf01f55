// --trace: every frame sent and every reply read, one line each on standard error:
//   12:04:31.207 send /dev/ttyUSB0 57600: 1d 72 01
//   12:04:31.219 recv /dev/ttyUSB0 57600: 00
// A reply that did not come shows as "(nothing)".
//
// Thread-safety: the search probes its ports on threads of their own at once; every line
// is written whole under a lock.
#pragma once

#include <cstdio>
#include <mutex>
#include <span>
#include <string>

#include "link/serial_link.h"

namespace zelka::cli {

// "1d 72 01"; "(nothing)" for no bytes.
std::string HexBytes(std::span<const std::uint8_t> bytes);

class TraceObserver final : public link::Observer {
 public:
  explicit TraceObserver(std::FILE* err) : err_(err) {}
  void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) override;
  void OnReceived(const std::string& port, int baud, std::span<const std::uint8_t> bytes) override;

 private:
  void Write(const char* direction, const std::string& port, int baud,
             std::span<const std::uint8_t> bytes);

  std::FILE* err_;
  std::mutex mutex_;
};

}  // namespace zelka::cli
