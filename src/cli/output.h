// Where the command's words go: text for people on standard output, or one JSON object;
// errors on standard error as one line (and as JSON too when JSON was asked for); nothing
// but errors with --quiet.
//
// Thread-safety: none; the command's thread only.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <string>

#include "cli/exit_code.h"

namespace zelka::cli {

class Output {
 public:
  Output(std::FILE* out, std::FILE* err, bool json, bool quiet)
      : out_(out), err_(err), json_(json), quiet_(quiet) {}

  bool Json() const { return json_; }
  bool Quiet() const { return quiet_; }
  std::FILE* Err() const { return err_; }

  // The command's result: `text` (lines, each ended by a newline) or `object`.
  void Result(const std::string& text, const QJsonObject& object);
  // The same for a command whose JSON is a list (ports).
  void Result(const std::string& text, const QJsonArray& list);
  // A remark on standard error that is no failure (not with --quiet).
  void Note(const std::string& text);
  // Writes `message` ("what failed; what to do") and returns `code` as an int.
  int Fail(ExitCode code, const std::string& message);
  // For a command whose result went out already and tells what failed: writes `message`
  // on standard error only (the JSON result carries the details) and returns `code`.
  int Problem(ExitCode code, const std::string& message);

 private:
  void Print(const std::string& text, const QJsonDocument& json);
  std::FILE* out_;
  std::FILE* err_;
  bool json_;
  bool quiet_;
};

}  // namespace zelka::cli
