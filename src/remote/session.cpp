#include "remote/session.h"

#include "commands/catalogue.h"
#include "form/main_form.h"

namespace zelka::remote {

namespace {

// Remembers whether a record could not be written: the search itself reports nothing.
class FailureTrackingWriter final : public discovery::RecordWriter {
 public:
  explicit FailureTrackingWriter(discovery::RecordWriter& inner) : inner_(inner) {}
  bool WriteRecord(const std::string& line) override {
    if (!inner_.WriteRecord(line)) failed_ = true;
    return !failed_;
  }
  bool Failed() const { return failed_; }

 private:
  discovery::RecordWriter& inner_;
  bool failed_ = false;
};

}  // namespace

Session::Session(form::MainForm& form, discovery::RecordWriter& writer)
    : form_(form), writer_(writer) {}

Session::Next Session::OnLine(std::string_view line) {
  const bool firstLine = firstLine_;
  firstLine_ = false;
  // Nothing of an HTTP request may run, not even a command-looking line in its body.
  if (LooksLikeHttp(line, firstLine)) return Next::Close;
  const Command* command = FindCommand(line);
  if (command == nullptr) return Next::ReadOn;
  return Run(*command) ? Next::ReadOn : Next::Close;
}

bool Session::Run(const Command& command) {
  // A failed action is never reported to the client; only a failed write ends the
  // connection.
  switch (command.action) {
    case Action::SearchAndIdentify: {
      FailureTrackingWriter writer(writer_);
      form_.AutoDetectPrinter(discovery::kRemoteRequest, &writer);
      return !writer.Failed();
    }
    case Action::KickDrawer:
      commands::KickDrawer();
      return true;
    case Action::FeedOneLine:
      commands::FeedOneLine();
      return true;
    case Action::PrintStoredLogo:
      commands::PrintStoredLogo();
      return true;
    case Action::SetCaption:
      form_.Window().SetCaption(kCaptionCommandLabel, std::string(command.caption));
      return true;
  }
  return true;
}

}  // namespace zelka::remote
