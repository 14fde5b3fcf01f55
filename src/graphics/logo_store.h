// The printer's stored logo: load it from a bitmap file, erase it, and ask whether one is
// stored. (Printing it is service::PrintStoredLogo.)
//
// The logo travels as a one-bit bitmap file behind one ESC byte; the printer decodes and
// stores it, taking as many bytes as the file's size field says. A picture of any other
// kind is converted to such a file first (picture_convert.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap_error.h"
#include "graphics/picture_options.h"
#include "link/serial_link.h"
#include "printer/result.h"
#include "printer/session.h"
#include "service/service_actions.h"

namespace zelka::graphics {

// The file sits in the link's transmit buffer behind the command byte.
inline constexpr std::size_t kLogoFileLimit = link::kBufferSize - 1;

// A logo ready to be sent: a one-bit bitmap file (the user's own, unchanged, or one
// converted from the picture they chose).
struct Logo {
  std::vector<std::uint8_t> file;  // at most kLogoFileLimit bytes
};

// Reads the file named `utf8Path` into `logo`, refusing it at the first of these that
// fails: it exists (kDoesNotExist); it is a regular file that can be read (kCannotRead);
// a file that begins with "BM", its headers (ParseBitmapHeader). Then:
//  - a one-bit bitmap without compression goes as it is: its size field is its length
//    (kSizeMismatch: the printer would run the bytes past the stated size as commands, or
//    swallow the commands after a shorter file); at most kLogoFileLimit bytes
//    (kTooLarge); then the whole read.
//  - any other picture (the printer stores one-bit logos only): at most
//    kMaxSourceFileBytes (kSourceTooLarge); the whole read; converted for `options`, no
//    wider than the paper (ConvertToOneBitBitmap; kConvertedTooLarge when the file of its
//    dots passes kLogoFileLimit).
// The file is opened once and never blocks the caller. Uses no port; `logo` changes only
// on kNone.
BitmapError LoadLogo(const std::string& utf8Path, Logo& logo, const ConversionOptions& options = {});

// LoadLogo's work on a file already in memory, `bytes` (all of it).
BitmapError LogoFromBytes(std::vector<std::uint8_t> bytes, const ConversionOptions& options,
                          Logo& logo, const DecodeLimits& limits = {});

// Opens the printer's port (10 s read time-out), sends ESC and the file in one write, built
// in the link's transmit buffer, and closes the port. kNotSent also when not every byte
// went out: part of the file may have reached the printer, which ReadLogoState then tells.
// A logo that LoadLogo did not make (empty, too long, or its size field not its length) is
// kNotSent without the port being opened.
printer::Result SendLogo(printer::Session& session, const Logo& logo);

// Opens the printer's port (10 s: the printer stores a logo just sent before it answers),
// asks GS I 4 and closes the port. bitSet: a logo is stored; kNoReply and no bitSet when
// the printer did not answer.
service::StateReading ReadLogoState(printer::Session& session);

// Opens the printer's port (7.5 s read time-out), erases the logo (GS @ 1), asks GS I 4 and
// closes the port. The state is asked also when the erase was not written whole (the result
// is then kNotSent, and bitSet tells what the printer holds).
service::StateReading EraseLogo(printer::Session& session);

}  // namespace zelka::graphics
