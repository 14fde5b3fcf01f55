// The dots a picture or a logo will print, as an image: for the file dialog's preview and
// for a PNG written without the printer (the command line's --preview).
#pragma once

#include <QImage>

#include <string>

#include "files/replaced_file.h"
#include "graphics/bitmap_error.h"
#include "graphics/logo_store.h"
#include "graphics/picture_print.h"

namespace zelka::graphics {

// The dots SendPicture sends: R × 8 dots a row (the last W mod 8 columns of a one-bit
// file are not sent), top row first, black on white; a null image for a picture that
// LoadPicture did not make.
QImage PictureDots(const Picture& picture);

// The dots the printer stores for `logo` (the whole width of the file, palette index 0
// black, as the printer reads it); a null image for a logo LoadLogo did not make.
QImage LogoDots(const Logo& logo);

// Writes `dots` as the PNG file `path`, whole or not at all (files::ReplaceFile): a name
// that is a pipe, device or directory is refused (kNotRegular) before anything is
// opened; a write that fails (kFailed) leaves no file cut short. Null `dots` are kFailed.
// Touches no printer.
files::WriteResult WritePreviewPng(const QImage& dots, const std::string& path);

}  // namespace zelka::graphics
