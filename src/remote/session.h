// What one connection does with the lines its client sends: run the command a line names
// as a job of the printer worker, and wait for it on the connection's own thread.
//
// Thread-safety: one session per connection, used on that connection's thread. The
// records of a search are handed from the worker's thread to this one and written here.
#pragma once

#include <string>
#include <string_view>

#include "remote/host.h"
#include "remote/line_protocol.h"

namespace zelka::remote {

// Where a search's identity records go, one line each ("SVE0001E" + value, ...).
class RecordWriter {
 public:
  virtual ~RecordWriter() = default;
  // False when the record could not be written (the client has gone).
  virtual bool WriteRecord(const std::string& line) = 0;
};

class Session {
 public:
  enum class Next {
    ReadOn,  // wait for the client's next line
    Close,   // end the connection
  };

  // `writer` takes the identity records of a search; the session never writes otherwise.
  Session(const Host& host, RecordWriter& writer);

  // One line of the client, LF and CR taken off.
  Next OnLine(std::string_view line);

 private:
  // False when the client has gone while its records were being written.
  bool Run(const Command& command);
  bool SearchAndIdentify();
  // Runs `job` on the worker and returns when it has ended.
  void RunAndWait(printer::Worker::Job job);

  const Host& host_;
  RecordWriter& writer_;
  bool firstLine_ = true;
};

}  // namespace zelka::remote
