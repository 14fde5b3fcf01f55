#include "graphics/messages.h"

#include "graphics/picture_options.h"
#include "graphics/raster_rows.h"

namespace zelka::graphics {

std::string BitmapErrorText(BitmapError error, std::size_t bufferBytes) {
  switch (error) {
    case BitmapError::kNone: return {};
    case BitmapError::kDoesNotExist: return kFileDoesNotExist;
    case BitmapError::kCannotRead: return "Не удалось прочитать файл.";
    case BitmapError::kTooLarge:
      return "Файл слишком велик: допустимо не более " + std::to_string(bufferBytes) + " байт.";
    case BitmapError::kNotBitmap: return "Файл не является рисунком BMP.";
    case BitmapError::kTruncatedHeader: return "Файл BMP повреждён: заголовок рисунка обрывается.";
    case BitmapError::kUnsupportedHeader:
      return "Этот вид файла BMP не поддерживается: заголовок рисунка короче 40 байт.";
    case BitmapError::kBadDimensions:
      return "Файл BMP повреждён: недопустимые ширина или высота рисунка (от 1 до " +
             std::to_string(kMaxDimension) + " точек).";
    case BitmapError::kUnsupportedFormat:
      return "Файл BMP записан в неизвестном формате (глубина цвета или сжатие).";
    case BitmapError::kBadPixelOffset:
      return "Файл BMP повреждён: начало данных рисунка указано за пределами файла.";
    case BitmapError::kRowsPastEnd:
      return "Файл BMP повреждён: данных рисунка меньше, чем указано в заголовке.";
    case BitmapError::kNotOneBit:
      return "Напечатать можно только чёрно-белый рисунок BMP без сжатия (1 бит на точку).";
    case BitmapError::kTooWide:
      return "Рисунок слишком широк: в строке допустимо не более " +
             std::to_string(kMaxRasterRowBytes * 8 + 7) + " точек.";
    case BitmapError::kTooNarrow:
      return "Рисунок слишком узок: в строке должно быть не менее " +
             std::to_string(kMinPrintableWidth) + " точек.";
    case BitmapError::kSizeMismatch:
      return "Файл BMP повреждён: размер файла, указанный в заголовке, не совпадает с "
             "настоящим.";
    case BitmapError::kNotPicture:
      return "Файл не является рисунком: печатаются только файлы BMP, PNG, JPEG и GIF.";
    case BitmapError::kCorruptPicture:
      return "Файл рисунка повреждён или обрывается: прочитать рисунок не удалось.";
    case BitmapError::kTooManyPixels:
      return "Рисунок слишком велик: допустимо не более " + std::to_string(kMaxDimension) +
             " точек по каждой стороне и не более " + std::to_string(kMaxSourcePixels) +
             " точек всего.";
    case BitmapError::kSourceTooLarge:
      return "Файл слишком велик: допустимо не более " + std::to_string(kMaxSourceFileBytes) +
             " байт.";
    case BitmapError::kConvertedTooLarge:
      return "Рисунок слишком длинный: приведённый к ширине бумаги, он займёт более " +
             std::to_string(bufferBytes) + " байт.";
    case BitmapError::kCannotWrite: return "Не удалось записать файл.";
  }
  return "Файл не является рисунком BMP.";
}

std::string PictureSendFailedText(std::size_t row, std::size_t rows) {
  return "Не удалось передать картинку на принтер: строка " + std::to_string(row) + " из " +
         std::to_string(rows) + ". Печать прервана.";
}

}  // namespace zelka::graphics
