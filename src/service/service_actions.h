// The one-step service actions: paper feed, drawer kick and state, paper check, signal,
// cut, self-diagnosis, and the stored logo printed. Each opens the printer's port,
// exchanges a few frames and closes it; none changes a setting of the printer.
#pragma once

#include <optional>

#include "printer/result.h"
#include "printer/session.h"

namespace zelka::service {

// LF.
printer::Result FeedOneLine(printer::Session& session);
// GS / 0.
printer::Result PrintStoredLogo(printer::Session& session);
// ESC p 0 150 150, then the drawer's pause (also when nothing could be sent).
printer::Result KickDrawer(printer::Session& session);

// A state read from the printer: bit 0 of its reply, or the problem.
struct StateReading {
  printer::Result result;
  std::optional<bool> bitSet;  // nothing when the printer gave no usable answer
};

// Kicks the drawer, then asks the drawer's state with ESC u 0 (bit 0 set: closed; the
// reply 0xFF is no answer).
StateReading KickDrawerAndReadState(printer::Session& session);
// GS r 2; bit 0 set: the drawer is closed.
StateReading ReadDrawerState(printer::Session& session);
// GS r 1; bit 0 set: no paper.
StateReading ReadPaperSensor(printer::Session& session);

printer::Result SoundSignal(printer::Session& session);
// Three sample lines, a feed of seven lines, ESC m.
printer::Result CutWithSampleLines(printer::Session& session);
// The same feed and ESC m without the sample lines.
printer::Result FeedAndCutEscM(printer::Session& session);
// Signal, self-test, signal, then ESC v: the printer is alive when any byte answers.
printer::Result RunSelfTest(printer::Session& session);

}  // namespace zelka::service
