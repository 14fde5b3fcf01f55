// What one connection does with the lines its client sends (IdTCPServer1Execute): run
// the command a line names, on the connection's own thread.
//
// Thread-safety: one session per connection, used on that connection's thread. The
// actions it runs take the link lock themselves; the window changes they make go through
// the thread-safe window state, which the front end applies on the window's thread
// without this thread waiting for it.
#pragma once

#include <string_view>

#include "discovery/auto_detect.h"
#include "remote/line_protocol.h"

namespace zelka::form {
class MainForm;
}

namespace zelka::remote {

class Session {
 public:
  enum class Next {
    ReadOn,  // wait for the client's next line
    Close,   // end the connection
  };

  // `writer` takes the identity records of a search; the session never writes otherwise.
  Session(form::MainForm& form, discovery::RecordWriter& writer);

  // One line of the client, LF and CR taken off.
  Next OnLine(std::string_view line);

 private:
  // False when the client has gone while its records were being written.
  bool Run(const Command& command);

  form::MainForm& form_;
  discovery::RecordWriter& writer_;
  bool firstLine_ = true;
};

}  // namespace zelka::remote
