#include "cli/output.h"

#include <QJsonDocument>

#include <algorithm>

#include "commands/codepage.h"

namespace zelka::cli {

namespace {

// What a terminal shows as text: a printer's reply or a file's name could otherwise
// carry ESC, BEL or a C1 control that repaints the screen. Control bytes but the line
// end and the tab, and bytes that are no UTF-8, become "?".
std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = commands::Utf8SequenceLength(text, i);
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    const bool c0 = length == 1 && (byte < 0x20 || byte == 0x7F) && byte != '\n' && byte != '\t';
    if (length == 0 || c0 || c1) {
      out.push_back('?');
      i += std::max<std::size_t>(length, 1);
      continue;
    }
    out.append(text, i, length);
    i += length;
  }
  return out;
}

void WriteJson(std::FILE* out, const QJsonDocument& document) {
  const QByteArray bytes = document.toJson(QJsonDocument::Compact);
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
  std::fputc('\n', out);
  std::fflush(out);
}

}  // namespace

void Output::Result(const std::string& text, const QJsonObject& object) {
  Print(text, QJsonDocument(object));
}

void Output::Result(const std::string& text, const QJsonArray& list) {
  Print(text, QJsonDocument(list));
}

void Output::Print(const std::string& text, const QJsonDocument& json) {
  if (quiet_) return;
  if (json_) {
    WriteJson(out_, json);
    return;
  }
  std::fputs(ForTerminal(text).c_str(), out_);
  std::fflush(out_);
}

void Output::Note(const std::string& text) {
  if (quiet_) return;
  std::fprintf(err_, "zelka: %s\n", ForTerminal(text).c_str());
  std::fflush(err_);
}

int Output::Problem(ExitCode code, const std::string& message) {
  std::fprintf(err_, "zelka: %s\n", message.c_str());
  std::fflush(err_);
  return ToInt(code);
}

int Output::Fail(ExitCode code, const std::string& message) {
  std::fprintf(err_, "zelka: %s\n", ForTerminal(message).c_str());
  std::fflush(err_);
  if (json_) {
    QJsonObject error;
    error.insert(QStringLiteral("error"), QString::fromStdString(message));
    error.insert(QStringLiteral("code"), ToInt(code));
    WriteJson(out_, QJsonDocument(error));
  }
  return ToInt(code);
}

}  // namespace zelka::cli
