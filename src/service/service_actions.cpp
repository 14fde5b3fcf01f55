#include "service/service_actions.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"

namespace zelka::service {

using std::chrono::milliseconds;
using zelka::commands::Byte;

namespace {

constexpr milliseconds kOneShotReadTimeout{500};
constexpr milliseconds kKickReadTimeout{1000};
constexpr milliseconds kShortReadTimeout{500};   // signal, cut, the state after a kick
constexpr milliseconds kStatusReadTimeout{1000};  // drawer, paper and self-diagnosis queries
// The drawer's solenoid needs the time before the printer is asked anything else.
constexpr milliseconds kAfterKickPause{300};

constexpr Byte kDrawerStatusFunction = 0;  // ESC u 0
constexpr Byte kCutFeedLines = 7;
constexpr Byte kStateBit = 0x01;

// The sample lines of the cut action, as on a sale receipt; 43, 43 and 44 characters,
// all within the 80 mm line.
constexpr const char* kCutSampleLines[] = {
    "  Оплата Наличные:                   100.00",
    "  СДАЧА:                              10.00",
    "---------1---------2---------3---------4----",
};

printer::Result OneShot(printer::Session& session, std::span<const Byte> frame,
                        milliseconds readTimeout) {
  printer::Result result = printer::OpenPrinter(session, readTimeout);
  if (!result.Ok()) return result;
  result.Sent(session.Link().Send(frame));
  session.Link().Close();
  return result;
}

template <typename Query>
StateReading ReadState(printer::Session& session, milliseconds readTimeout, Query query) {
  StateReading reading{printer::OpenPrinter(session, readTimeout), std::nullopt};
  if (!reading.result.Ok()) return reading;
  const std::optional<Byte> reply = query(session.Link());
  session.Link().Close();
  if (!reply) {
    reading.result.problem = printer::Problem::kNoReply;
    return reading;
  }
  reading.bitSet = (*reply & kStateBit) != 0;
  return reading;
}

printer::Result Cut(printer::Session& session, bool sampleLines) {
  printer::Result result = printer::OpenPrinter(session, kShortReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  if (sampleLines) {
    for (const char* line : kCutSampleLines) commands::PrintTextLine(link, line, session.TextLineLimit());
  }
  commands::FeedLines(link, kCutFeedLines);
  result.Sent(link.Send(commands::kCutPaperEscM));
  link.Close();
  return result;
}

}  // namespace

printer::Result FeedOneLine(printer::Session& session) {
  return OneShot(session, commands::kFeedOneLine, kOneShotReadTimeout);
}

printer::Result PrintStoredLogo(printer::Session& session) {
  return OneShot(session, commands::kPrintStoredLogo, kOneShotReadTimeout);
}

printer::Result KickDrawer(printer::Session& session) {
  printer::Result result = OneShot(session, commands::kKickDrawer, kKickReadTimeout);
  session.Sleep(kAfterKickPause);
  return result;
}

StateReading KickDrawerAndReadState(printer::Session& session) {
  KickDrawer(session);
  return ReadState(session, kShortReadTimeout, [](link::SerialLink& link) {
    return commands::QueryDrawerStatus(link, kDrawerStatusFunction);
  });
}

StateReading ReadDrawerState(printer::Session& session) {
  // Unlike ESC u, 0xFF is an ordinary reply here: bit 0 set reads "closed".
  return ReadState(session, kStatusReadTimeout, [](link::SerialLink& link) {
    return commands::QueryStatusByte(link, commands::kStatusDrawer);
  });
}

StateReading ReadPaperSensor(printer::Session& session) {
  return ReadState(session, kStatusReadTimeout,
                   [](link::SerialLink& link) { return commands::QueryPaperSensor(link); });
}

printer::Result SoundSignal(printer::Session& session) {
  return OneShot(session, commands::kSoundBeep, kShortReadTimeout);
}

printer::Result CutWithSampleLines(printer::Session& session) {
  return Cut(session, true);
}

printer::Result FeedAndCutEscM(printer::Session& session) {
  return Cut(session, false);
}

printer::Result RunSelfTest(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kStatusReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  link.Send(commands::kSoundBeep);
  link.Send(commands::kRunSelfTest);
  link.Send(commands::kSoundBeep);
  // Any one byte is a printer alive; its value is not looked at.
  if (!commands::QueryPaperStatus(link)) result.problem = printer::Problem::kNoReply;
  link.Close();
  return result;
}

}  // namespace zelka::service
