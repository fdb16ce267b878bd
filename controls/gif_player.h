#pragma once
// The picture box's animation player: reads a GIF's images in a loop on a
// thread of its own and composes them on an off-screen canvas of the logical
// screen's size, which painting reads under the paint lock. It reaches the
// window only by asking the host for repaints.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "controls/control_host.h"
#include "imaging/gif.h"
#include "imaging/picture.h"
#include "imaging/result.h"

namespace pictorin {

// Draws the image's pixels in their table colours with its top-left corner at
// (left, top), cut off at the canvas's edges. With keep_transparent, pixels of
// the image's transparent colour leave the canvas as it was.
void DrawGifImage(const GifImage& image, std::int32_t left, std::int32_t top, bool keep_transparent,
                  Raster& canvas);

class GifPlayer {
 public:
  // A player for a looping reader that stands before its first image. Fails
  // when the canvas, which starts white, cannot be had.
  static Result<std::unique_ptr<GifPlayer>> Make(GifReader reader, ControlHost& host);

  // Stops the thread first.
  ~GifPlayer();
  GifPlayer(const GifPlayer&) = delete;
  GifPlayer& operator=(const GifPlayer&) = delete;

  Size screen() const { return {canvas_.width, canvas_.height}; }

  // Start and started are for the thread that owns the player.
  bool started() const { return started_; }
  // Starts the thread; after each image it asks for a repaint of the client area.
  void Start(Size client);
  // The client area that the repaints cover, as the window's changes.
  void SetClientSize(Size client);

  // Runs use(canvas) under the paint lock.
  template <typename Use>
  void WithCanvas(Use&& use) const {
    std::lock_guard lock(paint_lock_);
    use(canvas_);
  }

 private:
  GifPlayer(GifReader reader, Raster canvas, ControlHost& host);

  void Run();
  void Turn();
  void SaveArea(const Rect& area);
  // Waits until due; false when a stop was requested first.
  bool WaitUntil(std::chrono::steady_clock::time_point due);
  void Stop();

  ControlHost& host_;
  bool started_ = false;

  // The player thread's alone once started.
  GifReader reader_;
  Raster saved_;        // the canvas under an image of disposal 2 or 3
  Rect saved_area_;     // where saved_ goes back; empty when nothing is to be restored
  int delay_ = 0;       // the last image's, in hundredths of a second

  mutable std::mutex paint_lock_;
  Raster canvas_;       // guarded by paint_lock_; its size never changes

  std::mutex state_lock_;
  std::condition_variable state_changed_;
  bool stop_requested_ = false;  // guarded by state_lock_
  bool stopped_ = false;         // guarded by state_lock_
  Size client_;                  // guarded by state_lock_

  std::thread thread_;
};

}  // namespace pictorin
