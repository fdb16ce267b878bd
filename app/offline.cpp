#include "app/offline.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/layout.h"

namespace pictorin {
namespace {

constexpr int kDisplayDepth = 32;

// A host without a window: a fixed client area. Repaint requests, which the
// picture box's player makes from its own thread, can be waited for.
class OfflineHost : public ControlHost {
 public:
  explicit OfflineHost(Size client) : client_(client) {}

  void MarkForRepaint(const Rect&) override {
    std::lock_guard lock(mutex_);
    ++repaints_;
    repainted_.notify_all();
  }
  Size ClientSize() const override { return client_; }
  Colour ButtonFaceColour() const override { return kButtonFaceColour; }
  int DisplayDepth() const override { return kDisplayDepth; }
  void ApplyBorderStyle(int) override {}
  void ResizeClient(Size size) override { client_ = size; }

  int repaints() {
    std::lock_guard lock(mutex_);
    return repaints_;
  }

  // Waits until more than `seen` repaints were asked for, or the timeout passes.
  void WaitForRepaintAfter(int seen, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    repainted_.wait_for(lock, timeout, [&] { return repaints_ > seen; });
  }

 private:
  Size client_;
  std::mutex mutex_;
  std::condition_variable repainted_;
  int repaints_ = 0;
};

Size LayoutSize(std::string_view name) {
  const Rect rect = FindControl(name)->rect;
  return {rect.width, rect.height};
}

}  // namespace

Result<Bytes> ComposeOffline(ByteView photo, std::span<const Badge> badges) {
  if (auto decoded = DecodePicture(photo, kNoColour, false); !decoded) return decoded.failure();
  OfflineHost host(LayoutSize("动画框1"));
  auto canvas = CartoonBox::Make(CanvasRecord(), host);
  if (!canvas) return Failure::kBadHeader;
  SeedCanvas(*canvas);
  ChangeCanvasPicture(*canvas, photo);
  for (Badge badge : badges) ApplyBadge(*canvas, badge);
  const Size size = host.ClientSize();
  return SavedPicture(canvas->Paint({0, 0, size.width, size.height}), kDisplayDepth);
}

Result<Bytes> ResizeOffline(ByteView picture) {
  if (auto still = LoadStillPicture(picture); !still) return still.failure();
  OfflineHost host(LayoutSize("图片框1"));
  auto box = PicBox::Make(BoxRecord(), host);
  if (!box) return box.failure();
  ChangeBoxPicture(**box, picture);
  // The first paint of an animated GIF starts its player; the next paint,
  // after the player has drawn its first image, shows that image.
  const int seen = host.repaints();
  auto shown = (*box)->Paint();
  if ((*box)->animated()) {
    host.WaitForRepaintAfter(seen, std::chrono::seconds(5));
    shown = (*box)->Paint();
  }
  if (!shown) return shown.failure();
  return SavedPicture(*shown, kDisplayDepth);
}

}  // namespace pictorin
