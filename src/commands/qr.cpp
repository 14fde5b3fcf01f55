#include "commands/qr.h"

#include <algorithm>
#include <array>
#include <span>
#include <cstring>
#include <string>

#include "commands/catalogue.h"
#include "commands/codepage.h"

namespace zelka::commands {

static_assert(kQrSamplePayload.size() == kQrMaxDataBytes, "the sample fills one symbol exactly");

namespace {

constexpr Byte kQrFeedLines = 7;

// Re-encoding decoded characters keeps the cut on a character boundary: a multi-byte
// character that would straddle the limit is dropped whole, never split.
std::size_t EncodeBounded(std::string_view text, std::span<std::uint8_t> area) {
  std::size_t used = 0;
  std::string encoded;
  for (char32_t c : DecodeUtf8(text)) {
    encoded.clear();
    AppendUtf8(encoded, c);
    if (used + encoded.size() > area.size()) break;
    std::memcpy(area.data() + used, encoded.data(), encoded.size());
    used += encoded.size();
  }
  return used;
}

}  // namespace

Status StoreQrData(link::SerialLink& link, std::string_view text) {
  std::array<std::uint8_t, kQrMaxDataBytes> data{};
  EncodeBounded(text, data);
  // A character U+0000 ends the data like the zero fill after it.
  const auto k = static_cast<std::size_t>(std::find(data.begin(), data.end(), 0) - data.begin());

  const std::span<std::uint8_t> tx = link.TxBuffer();
  std::copy(kQrCommandHead.begin(), kQrCommandHead.end(), tx.begin());
  tx[3] = static_cast<Byte>(k + kQrStoreCountedOverhead);
  tx[4] = 0x00;
  std::copy(kQrStoreTail.begin(), kQrStoreTail.end(), tx.begin() + 5);
  std::copy_n(data.begin(), k, tx.begin() + kQrStoreHeaderLength);
  return link.SendTx(k + kQrStoreHeaderLength);
}

Status PrintQrPayload(link::SerialLink& link, std::span<const std::uint8_t> payload) {
  if (payload.empty() || payload.size() > kQrMaxPayloadBytes) return Status::kWriteShort;
  for (const auto& frame : {std::span<const Byte>(kQrModuleSize), std::span<const Byte>(kQrErrorCorrection)}) {
    if (const Status status = link.Send(frame); status != Status::kOk) return status;
  }
  const std::size_t counted = payload.size() + kQrStoreCountedOverhead;
  const std::span<std::uint8_t> tx = link.TxBuffer();
  std::copy(kQrCommandHead.begin(), kQrCommandHead.end(), tx.begin());
  tx[3] = static_cast<Byte>(counted & 0xFF);
  tx[4] = static_cast<Byte>(counted >> 8);
  std::copy(kQrStoreTail.begin(), kQrStoreTail.end(), tx.begin() + 5);
  std::copy(payload.begin(), payload.end(), tx.begin() + kQrStoreHeaderLength);
  if (const Status status = link.SendTx(payload.size() + kQrStoreHeaderLength); status != Status::kOk) {
    return status;
  }
  return link.Send(kQrPrint);
}

void PrintQrCode(link::SerialLink& link, std::string_view text) {
  link.Send(kQrModuleSize);
  link.Send(kQrErrorCorrection);
  StoreQrData(link, text);
  link.Send(kQrPrint);
  FeedLines(link, kQrFeedLines);
  CutPaper(link);
}

}  // namespace zelka::commands
