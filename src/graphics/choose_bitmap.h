// The first steps of both picture actions (the logo and the picture print): the user
// picks a bitmap file, it must exist, and the picture loader must accept it.
#pragma once

#include <optional>
#include <string>

#include "graphics/bitmap_header.h"
#include "seams/context.h"

namespace zelka::graphics {

// The picture dialog's filter: two spaces after the first word, " *.BMP" as the pattern.
inline constexpr char kBitmapFilter[] = "Файлы  (*.bmp) | *.BMP";

struct ChosenBitmap {
  std::string name;  // UTF-8
  BitmapInfo info;   // W and H as the loader found them
};

// Runs the picture dialog. Nothing when the action is to end: the dialog was cancelled
// (silently), the file does not exist ("File does not exist.") or the loader refused it
// (its reason); the errors are shown here.
std::optional<ChosenBitmap> ChooseBitmapFile(seams::Context& context);

}  // namespace zelka::graphics
