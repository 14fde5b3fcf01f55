// The files a subcommand names, read and checked before anything is sent: a missing,
// unreadable or unsuitable file ends the command with exit code 7 and no printer touched.
#pragma once

#include <string>

#include "cli/context.h"
#include "firmware/firmware_file.h"
#include "graphics/bitmap_error.h"

namespace zelka::cli {

// ReadInputs' answer when --preview has written its picture: the command is done.
inline constexpr int kPreviewWritten = -1;

// Reads the file of the context's command into its inputs (nothing for commands without
// one). 0, kPreviewWritten, or the exit code after the reason was reported.
int ReadInputs(Context& context);

// Why a bitmap or firmware file was refused, in English.
std::string BitmapErrorReason(graphics::BitmapError error);
std::string FirmwareFileReason(const firmware::FirmwareFileRead& read);

}  // namespace zelka::cli
