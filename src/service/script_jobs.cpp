#include "service/script_jobs.h"

#include <algorithm>
#include <chrono>

#include "commands/catalogue.h"
#include "commands/qr.h"

namespace zelka::service {

namespace {

// Nothing is read back: the time-out only bounds an open that hangs.
constexpr std::chrono::milliseconds kJobReadTimeout{2000};
// The same feed as after the window's QR code and pictures: the printed part clears the
// cutter.
constexpr commands::Byte kFeedBeforeCut = 7;

link::Status FeedAndCut(link::SerialLink& link) {
  if (const link::Status fed = commands::FeedLines(link, kFeedBeforeCut); fed != link::Status::kOk) {
    return fed;
  }
  return commands::CutPaper(link);
}

}  // namespace

printer::Result PrintQrPayload(printer::Session& session, std::span<const std::uint8_t> payload, bool cut) {
  printer::Result result = printer::OpenPrinter(session, kJobReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  link::Status status = commands::PrintQrPayload(link, payload);
  if (status == link::Status::kOk && cut) status = FeedAndCut(link);
  result.Sent(status);
  link.Close();
  return result;
}

printer::Result FeedAndCut(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kJobReadTimeout);
  if (!result.Ok()) return result;
  result.Sent(FeedAndCut(session.Link()));
  session.Link().Close();
  return result;
}

RawJobSent SendRawJob(printer::Session& session, std::span<const std::uint8_t> job) {
  RawJobSent sent{printer::OpenPrinter(session, kJobReadTimeout)};
  if (!sent.result.Ok()) return sent;
  link::SerialLink& link = session.Link();
  while (sent.bytesSent < job.size()) {
    const std::size_t length = std::min(kRawJobWrite, job.size() - sent.bytesSent);
    const link::Status status = link.Send(job.subspan(sent.bytesSent, length));
    sent.result.Sent(status);
    if (status != link::Status::kOk) break;
    sent.bytesSent += length;
  }
  link.Close();
  return sent;
}

}  // namespace zelka::service
