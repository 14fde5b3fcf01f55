#include "cli/output.h"

#include <QJsonDocument>

namespace zelka::cli {

namespace {

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
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
}

void Output::Note(const std::string& text) {
  if (quiet_) return;
  std::fprintf(err_, "zelka: %s\n", text.c_str());
  std::fflush(err_);
}

int Output::Problem(ExitCode code, const std::string& message) {
  std::fprintf(err_, "zelka: %s\n", message.c_str());
  std::fflush(err_);
  return ToInt(code);
}

int Output::Fail(ExitCode code, const std::string& message) {
  std::fprintf(err_, "zelka: %s\n", message.c_str());
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
