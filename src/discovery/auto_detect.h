// The automatic search for the printer and its identification, run from the window's
// search button (AMode 0) or by a remote client (AMode 1).
#pragma once

#include <array>
#include <string>

#include "seams/context.h"

namespace zelka::discovery {

inline constexpr int kWindowRequest = 0;  // AMode 0: message boxes, no records
inline constexpr int kRemoteRequest = 1;  // AMode 1: records to the client, no message box

// The rates of the search, in the order they are tried (not the numeric one).
inline constexpr std::array<int, 4> BaudScanTable = {57600, 9600, 115200, 19200};

// Where a remote request's identity records go, one line each ("SVE0001E" + value, ...).
// The text is UTF-8; the writer converts it for its line.
class RecordWriter {
 public:
  virtual ~RecordWriter() = default;
  // False when the record could not be written (the client has gone): the
  // identification is then abandoned.
  virtual bool WriteRecord(const std::string& line) = 0;
};

// Searches every item of ComboBox1 at every rate of BaudScanTable (rate by rate), takes
// the first port that answers as CurrentPortName, and identifies the printer on it.
// Holds the link lock throughout. `AContext` is the remote client's record writer
// (nullptr for a window request).
void AutoDetectPrinter(seams::Context& context, int AMode, RecordWriter* AContext);

}  // namespace zelka::discovery
