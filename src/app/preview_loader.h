// The picture dialog's previews, loaded off the window's thread. The dialog loads a file
// as soon as it is highlighted, and a large photograph takes a while to decode: the
// window goes on meanwhile and the preview comes when it is ready.
//
// One load at a time, so that running through a folder of photographs holds one
// decoder's memory, not one per file: a request made while a load runs waits for it and
// replaces any request already waiting. Only the newest request's result is delivered;
// the others are dropped unseen.
//
// Thread-safety: construct, Request and destroy on the window's thread; `done` is called
// there too. A load still running when the loader is destroyed ends on its worker thread
// and its result is dropped; the destructor does not wait for it.
#pragma once

#include <QImage>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "graphics/bitmap_error.h"
#include "graphics/picture_options.h"

namespace zelka::app {

struct Preview {
  graphics::BitmapError error = graphics::BitmapError::kNone;
  QImage dots;  // the dots as they print, when error is kNone
};

class PreviewLoader final : public QObject {
 public:
  // What a load does, on a worker thread: LoadPreview unless a test gives another.
  using Load = std::function<Preview(const std::string& utf8Path, const graphics::ConversionOptions&)>;
  using Done = std::function<void(const Preview&)>;

  PreviewLoader(QObject* parent, Done done, Load load = LoadPreview);
  ~PreviewLoader() override;

  // Loads `utf8Path` for `options`; the result goes to `done` unless another Request or
  // Cancel comes first.
  void Request(const std::string& utf8Path, const graphics::ConversionOptions& options);
  // No result of an earlier request will be delivered.
  void Cancel();

  // The picture as LoadPicture reads it and its dots (PictureDots).
  static Preview LoadPreview(const std::string& utf8Path, const graphics::ConversionOptions& options);

 private:
  struct Shared;
  void Deliver(std::uint64_t serial, const Preview& preview);

  Done done_;
  std::uint64_t serial_ = 0;
  std::shared_ptr<Shared> shared_;
};

}  // namespace zelka::app
