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
// The program's arguments, program name first, once QCoreApplication is made: on POSIX
// argv's bytes (ArgumentList; QCoreApplication::arguments() would decode them, and a
// file name that is no UTF-8 would name another file); on Windows the Unicode command
// line (argv there is in the ANSI code page, which has no room for most letters).
QStringList ProgramArguments(int argc, const char* const* argv);

}  // namespace zelka::cli
