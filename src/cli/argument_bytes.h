// Arguments as the system gives them. On POSIX an argument is bytes, and a file's name
// need not be UTF-8 ("pic\xff.png"): it must reach open() as it came. The arguments pass
// through the option parser as text and come back as the same bytes: each byte that is
// no part of valid UTF-8 travels as the lone surrogate U+DC80..U+DCFF.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace zelka::cli {

QString ArgumentText(std::string_view bytes);
// The bytes of an argument made by ArgumentText; UTF-8 for any other text.
std::string ArgumentBytes(const QString& text);
// argv as ArgumentText, program name first.
QStringList ArgumentList(int argc, const char* const* argv);

}  // namespace zelka::cli
