#include "graphics/messages.h"

#include <vector>

#include "graphics/picture_options.h"
#include "graphics/raster_rows.h"

namespace zelka::graphics {

namespace {

// `source` in the user's language with "%1", "%2" replaced by `arguments`, in one pass.
std::string Text(const Translate& translate, const char* source,
                 const std::vector<std::string>& arguments = {}) {
  const std::string text = translate ? translate(kMessagesContext, source) : std::string(source);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < arguments.size()) {
        result += arguments[n];
        ++i;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

}  // namespace

std::string BitmapErrorText(BitmapError error, std::size_t bufferBytes, const Translate& tr) {
  switch (error) {
    case BitmapError::kNone: return {};
    case BitmapError::kDoesNotExist: return Text(tr, kFileDoesNotExist);
    case BitmapError::kCannotRead:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics", "Не удалось прочитать файл."));
    case BitmapError::kTooLarge:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics", "Файл слишком велик: допустимо не более %1 байт."),
                  {std::to_string(bufferBytes)});
    case BitmapError::kNotBitmap:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics", "Файл не является рисунком BMP."));
    case BitmapError::kTruncatedHeader:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл BMP повреждён: заголовок рисунка обрывается."));
    case BitmapError::kUnsupportedHeader:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Этот вид файла BMP не поддерживается: заголовок рисунка "
                                        "короче 40 байт."));
    case BitmapError::kBadDimensions:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Файл BMP повреждён: недопустимые ширина или высота рисунка "
                                    "(от 1 до %1 точек)."),
                  {std::to_string(kMaxDimension)});
    case BitmapError::kUnsupportedFormat:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл BMP записан в неизвестном формате (глубина цвета или "
                                        "сжатие)."));
    case BitmapError::kBadPixelOffset:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл BMP повреждён: начало данных рисунка указано за "
                                        "пределами файла."));
    case BitmapError::kRowsPastEnd:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл BMP повреждён: данных рисунка меньше, чем указано в "
                                        "заголовке."));
    case BitmapError::kNotOneBit:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Напечатать можно только чёрно-белый рисунок BMP без сжатия "
                                        "(1 бит на точку)."));
    case BitmapError::kTooWide:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Рисунок слишком широк: в строке допустимо не более %1 точек."),
                  {std::to_string(kMaxRasterRowBytes * 8 + 7)});
    case BitmapError::kTooNarrow:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Рисунок слишком узок: в строке должно быть не менее %1 точек."),
                  {std::to_string(kMinPrintableWidth)});
    case BitmapError::kSizeMismatch:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл BMP повреждён: размер файла, указанный в заголовке, "
                                        "не совпадает с настоящим."));
    case BitmapError::kNotPicture:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл не является рисунком: печатаются только файлы BMP, "
                                        "PNG, JPEG и GIF."));
    case BitmapError::kCorruptPicture:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics",
                                        "Файл рисунка повреждён или обрывается: прочитать рисунок "
                                        "не удалось."));
    case BitmapError::kTooManyPixels:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Рисунок слишком велик: допустимо не более %1 точек по каждой "
                                    "стороне и не более %2 точек всего."),
                  {std::to_string(kMaxDimension), std::to_string(kMaxSourcePixels)});
    case BitmapError::kSourceTooLarge:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics", "Файл слишком велик: допустимо не более %1 байт."),
                  {std::to_string(kMaxSourceFileBytes)});
    case BitmapError::kConvertedTooLarge:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Рисунок слишком длинный: приведённый к ширине бумаги, он "
                                    "займёт более %1 байт."),
                  {std::to_string(bufferBytes)});
    case BitmapError::kTooCostlyToDecode:
      return Text(tr,
                  QT_TRANSLATE_NOOP("Graphics",
                                    "Рисунок записан так, что для его чтения нужно слишком много "
                                    "памяти или времени (более %1 МБ или более %2 проходов JPEG). "
                                    "Сохраните его как обычный JPEG или PNG."),
                  {std::to_string(kDecoderAllocationLimitMb), std::to_string(kMaxJpegScans)});
    case BitmapError::kCannotWrite:
      return Text(tr, QT_TRANSLATE_NOOP("Graphics", "Не удалось записать файл."));
  }
  return Text(tr, QT_TRANSLATE_NOOP("Graphics", "Файл не является рисунком BMP."));
}

std::string PictureSendFailedText(std::size_t row, std::size_t rows, const Translate& tr) {
  return Text(tr,
              QT_TRANSLATE_NOOP("Graphics",
                                "Не удалось передать картинку на принтер: строка %1 из %2. Печать "
                                "прервана."),
              {std::to_string(row), std::to_string(rows)});
}

}  // namespace zelka::graphics
