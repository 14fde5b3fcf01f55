#include "cli/trace.h"

#include <QTime>

namespace zelka::cli {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return "(nothing)";
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

void TraceObserver::OnSent(const std::string& port, int baud, std::span<const std::uint8_t> bytes) {
  Write("send", port, baud, bytes);
}

void TraceObserver::OnReceived(const std::string& port, int baud,
                               std::span<const std::uint8_t> bytes) {
  Write("recv", port, baud, bytes);
}

void TraceObserver::Write(const char* direction, const std::string& port, int baud,
                          std::span<const std::uint8_t> bytes) {
  const std::string time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString();
  const std::string hex = HexBytes(bytes);
  std::lock_guard lock(mutex_);
  std::fprintf(err_, "%s %s %s %d: %s\n", time.c_str(), direction, port.c_str(), baud, hex.c_str());
  std::fflush(err_);
}

}  // namespace zelka::cli
