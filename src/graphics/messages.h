// The texts of the graphics actions, for the front ends to show: the operations return
// errors and results, never words.
//
// The texts are Russian, the window's source language; the window translates them
// through Qt's catalogue (context kMessagesContext, marked with QT_TRANSLATE_NOOP for
// lupdate). The functions that build a text take the window's translator and translate
// the template before the numbers go in. The command-line tool has English texts of its
// own (cli::BitmapErrorReason).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "graphics/bitmap_error.h"

// Marks a source text for lupdate; the same definition as Qt's, for code without Qt.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace zelka::graphics {

// The catalogue's context of these texts.
inline constexpr char kMessagesContext[] = "Graphics";

// Returns `source` (of `context`) in the user's language; empty = Russian.
using Translate = std::function<std::string(const char* context, const char* source)>;

// A file name that names nothing (BitmapError::kDoesNotExist), worded as the users know it.
inline constexpr char kFileDoesNotExist[] = QT_TRANSLATE_NOOP("Graphics", "File does not exist.");
inline constexpr char kLogoLoaded[] = QT_TRANSLATE_NOOP("Graphics", "Логотип успешно загружен");
inline constexpr char kPowerCycleAdvice[] =
    QT_TRANSLATE_NOOP("Graphics", "Выключите принтер, подождите 7 секунд и снова включите.");
inline constexpr char kPicturePrinted[] = QT_TRANSLATE_NOOP("Graphics", "Купон успешно напечатан");

// A load or print that never reached the printer.
inline constexpr char kLogoPortFailed[] =
    QT_TRANSLATE_NOOP("Graphics", "Не удалось открыть порт принтера. Логотип не загружен.");
inline constexpr char kLogoSendFailed[] =
    QT_TRANSLATE_NOOP("Graphics", "Не удалось передать логотип на принтер.");
inline constexpr char kPicturePortFailed[] =
    QT_TRANSLATE_NOOP("Graphics", "Не удалось открыть порт принтера. Картинка не напечатана.");

// Why a file was refused. `bufferBytes` is the most a file may hold on this path
// (kPictureBufferSize for pictures, kLogoFileLimit for logos).
std::string BitmapErrorText(BitmapError error, std::size_t bufferBytes,
                            const Translate& translate = {});

// A picture whose row `row` (counted from 1) of `rows` could not be written whole.
std::string PictureSendFailedText(std::size_t row, std::size_t rows,
                                  const Translate& translate = {});

}  // namespace zelka::graphics
