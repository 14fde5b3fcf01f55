// The test receipts: a sale and every font, laid out for 80 mm or 57 mm paper, or the
// 57 mm layout moved right on an 80 mm printer; the sample receipt of the hidden button;
// and the sample QR code.
#pragma once

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

enum class ReceiptLayout {
  k80mm,
  k57mm,
  k57mmOn80mm,  // the 57 mm layout moved right, for an 80 mm printer
};

printer::Result PrintTestReceipt(printer::Session& session, ReceiptLayout layout);
// The three frames of SampleReceiptFrames.
printer::Result PrintSampleReceipt(printer::Session& session);
// The sample symbol, kQrSamplePayload.
printer::Result PrintSampleQrCode(printer::Session& session);

}  // namespace zelka::service
