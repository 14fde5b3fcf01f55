// The texts of the graphics actions, for the front ends to show: the operations return
// errors and results, never words.
#pragma once

#include <cstddef>
#include <string>

#include "graphics/bitmap_error.h"

namespace zelka::graphics {

// A file name that names nothing (BitmapError::kDoesNotExist), worded as the users know it.
inline constexpr char kFileDoesNotExist[] = "File does not exist.";
inline constexpr char kLogoLoaded[] = "Логотип успешно загружен";
inline constexpr char kPowerCycleAdvice[] =
    "Выключите принтер, подождите 7 секунд и снова включите.";
inline constexpr char kPicturePrinted[] = "Купон успешно напечатан";

// A load or print that never reached the printer.
inline constexpr char kLogoPortFailed[] = "Не удалось открыть порт принтера. Логотип не загружен.";
inline constexpr char kLogoSendFailed[] = "Не удалось передать логотип на принтер.";
inline constexpr char kPicturePortFailed[] =
    "Не удалось открыть порт принтера. Картинка не напечатана.";

// Why a file was refused. `bufferBytes` is the most a file may hold on this path
// (kPictureBufferSize for pictures, kLogoFileLimit for logos).
std::string BitmapErrorText(BitmapError error, std::size_t bufferBytes);

// A picture whose row `row` (counted from 1) of `rows` could not be written whole.
std::string PictureSendFailedText(std::size_t row, std::size_t rows);

}  // namespace zelka::graphics
