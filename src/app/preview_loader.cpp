#include "app/preview_loader.h"

#include <QMetaObject>
#include <QThreadPool>

#include <mutex>
#include <optional>
#include <utility>

#include "graphics/picture_preview.h"
#include "graphics/picture_print.h"

namespace zelka::app {

struct PreviewLoader::Shared {
  struct Job {
    std::uint64_t serial = 0;
    std::string path;
    graphics::ConversionOptions options;
  };

  explicit Shared(Load l) : load(std::move(l)) {}

  // Runs on a worker: the waiting jobs, one after another, until none is left.
  void Work() {
    for (;;) {
      Job job;
      {
        std::lock_guard lock(mutex);
        if (!waiting) {
          running = false;
          return;
        }
        job = std::move(*waiting);
        waiting.reset();
      }
      Preview preview = load(job.path, job.options);
      // Under the lock, so that the loader cannot be destroyed between the look and the
      // post; a result posted to a loader destroyed afterwards is dropped with it.
      std::lock_guard lock(mutex);
      if (owner) {
        QMetaObject::invokeMethod(
            owner,
            [owner = owner, serial = job.serial, preview = std::move(preview)] {
              owner->Deliver(serial, preview);
            },
            Qt::QueuedConnection);
      }
    }
  }

  const Load load;
  std::mutex mutex;
  PreviewLoader* owner = nullptr;  // null once the loader is gone
  std::optional<Job> waiting;
  bool running = false;
};

PreviewLoader::PreviewLoader(QObject* parent, Done done, Load load)
    : QObject(parent), done_(std::move(done)), shared_(std::make_shared<Shared>(std::move(load))) {
  shared_->owner = this;
}

PreviewLoader::~PreviewLoader() {
  std::lock_guard lock(shared_->mutex);
  shared_->owner = nullptr;
  shared_->waiting.reset();
}

void PreviewLoader::Request(const std::string& utf8Path,
                            const graphics::ConversionOptions& options) {
  std::lock_guard lock(shared_->mutex);
  shared_->waiting = Shared::Job{++serial_, utf8Path, options};
  if (shared_->running) return;
  shared_->running = true;
  // The worker keeps the shared state alive for as long as it runs.
  QThreadPool::globalInstance()->start([shared = shared_] { shared->Work(); });
}

void PreviewLoader::Cancel() {
  std::lock_guard lock(shared_->mutex);
  ++serial_;
  shared_->waiting.reset();
}

void PreviewLoader::Deliver(std::uint64_t serial, const Preview& preview) {
  if (serial == serial_ && done_) done_(preview);
}

Preview PreviewLoader::LoadPreview(const std::string& utf8Path,
                                   const graphics::ConversionOptions& options) {
  graphics::Picture picture;
  Preview preview;
  preview.error = graphics::LoadPicture(utf8Path, picture, options);
  if (preview.error == graphics::BitmapError::kNone) preview.dots = graphics::PictureDots(picture);
  return preview;
}

}  // namespace zelka::app
