#include "commands/qr.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "commands/catalogue.h"
#include "commands/codepage.h"
#include "link/link_lock.h"

namespace zelka::commands {

using namespace zelka::link;

static_assert(kQrSamplePayload.size() == kQrMaxDataBytes, "the sample fills one symbol exactly");

std::uint8_t QrWorkArea[kQrWorkAreaSize] = {};

namespace {

constexpr std::chrono::milliseconds kQrReadTimeoutMs{2000};
constexpr Byte kQrFeedLines = 7;

// Re-encoding decoded characters keeps the cut on a character boundary: a multi-byte
// character that would straddle the limit is dropped whole, never split.
std::size_t EncodeBounded(std::string_view text, std::uint8_t* area, std::size_t limit) {
  std::size_t used = 0;
  std::string encoded;
  for (char32_t c : DecodeUtf8(text)) {
    encoded.clear();
    AppendUtf8(encoded, c);
    if (used + encoded.size() > limit) break;
    std::memcpy(area + used, encoded.data(), encoded.size());
    used += encoded.size();
  }
  return used;
}

}  // namespace

StatusCode StoreQrData(std::string_view text) {
  std::fill(std::begin(QrWorkArea), std::end(QrWorkArea), 0);
  EncodeBounded(text, QrWorkArea, kQrMaxDataBytes);
  // A character U+0000 ends the data like the zero fill after it.
  const auto k = static_cast<std::size_t>(
      std::find(std::begin(QrWorkArea), std::end(QrWorkArea), 0) - std::begin(QrWorkArea));

  std::copy(kQrCommandHead.begin(), kQrCommandHead.end(), TxBuffer);
  TxBuffer[3] = static_cast<Byte>(k + kQrStoreCountedOverhead);
  TxBuffer[4] = 0x00;
  std::copy(kQrStoreTail.begin(), kQrStoreTail.end(), TxBuffer + 5);
  std::copy_n(QrWorkArea, k, TxBuffer + kQrStoreHeaderLength);
  TxLength = static_cast<std::int32_t>(k + kQrStoreHeaderLength);
  SendTx();
  return kOk;
}

StatusCode PrintSampleQrCode() {
  PrinterOperation operation;
  // A port that does not open makes every send below return 2: the press does nothing.
  OpenPort(CurrentPortName, CurrentBaud, static_cast<int>(kQrReadTimeoutMs.count()));
  SendFrame(kQrModuleSize);
  SendFrame(kQrErrorCorrection);
  StoreQrData(kQrSamplePayload);
  SendFrame(kQrPrint);
  FeedLines(kQrFeedLines);
  CutPaper();
  ClosePort();
  return kOk;
}

}  // namespace zelka::commands
