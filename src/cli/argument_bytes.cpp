#include "cli/argument_bytes.h"

#include "commands/codepage.h"

namespace zelka::cli {

namespace {

constexpr char16_t kEscapedByte = 0xDC00;  // + the byte, 0x80..0xFF

}  // namespace

QString ArgumentText(std::string_view bytes) {
  QString text;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = commands::Utf8SequenceLength(bytes, i);
    if (length == 0) {
      text.append(QChar(static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(bytes[i]))));
      ++i;
      continue;
    }
    text.append(QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(length)));
    i += length;
  }
  return text;
}

std::string ArgumentBytes(const QString& text) {
  std::string bytes;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      commands::AppendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
      ++i;
    } else if (unit >= kEscapedByte + 0x80 && unit <= kEscapedByte + 0xFF) {
      bytes.push_back(static_cast<char>(unit - kEscapedByte));
    } else if (QChar::isSurrogate(unit)) {
      bytes.push_back('?');
    } else {
      commands::AppendUtf8(bytes, unit);
    }
  }
  return bytes;
}

QStringList ArgumentList(int argc, const char* const* argv) {
  QStringList list;
  for (int i = 0; i < argc; ++i) list.append(ArgumentText(argv[i]));
  return list;
}

}  // namespace zelka::cli
