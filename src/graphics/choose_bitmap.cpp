#include "graphics/choose_bitmap.h"

#include "graphics/bitmap_file.h"
#include "graphics/messages.h"

namespace zelka::graphics {

std::optional<ChosenBitmap> ChooseBitmapFile(seams::Context& context) {
  std::optional<std::string> name = context.dialogs.ChooseFile(kBitmapFilter, true);
  if (!name) return std::nullopt;
  if (!BitmapFileExists(*name)) {
    context.dialogs.Error(kFileDoesNotExist);
    return std::nullopt;
  }
  ChosenBitmap chosen{*name, {}};
  if (const BitmapError error = LoadBitmap(chosen.name, chosen.info); error != BitmapError::kNone) {
    // Nothing is read into a buffer here, so no limit applies to the message.
    context.dialogs.Error(BitmapErrorText(error, 0));
    return std::nullopt;
  }
  return chosen;
}

}  // namespace zelka::graphics
