#pragma once
// A ControlHost for tests: it records what a control asks of its window,
// reports what the test sets, and can hold a control's background thread at
// its repaint requests so that a test steps it one request at a time.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "controls/control_host.h"

namespace pictorin::test {

class TestHost : public ControlHost {
 public:
  // Marks from the thread that made the host are recorded and never held.
  void MarkForRepaint(const Rect& area) override {
    std::unique_lock lock(mutex_);
    marks_.push_back(area);
    changed_.notify_all();
    if (!holding_ || std::this_thread::get_id() == owner_) return;
    ++held_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !holding_ || passes_ > 0; });
    if (passes_ > 0) --passes_;
    --held_;
    changed_.notify_all();
  }

  Size ClientSize() const override { return Locked(client_); }
  Colour ButtonFaceColour() const override { return Locked(button_face_); }
  int DisplayDepth() const override { return Locked(depth_); }

  void ApplyBorderStyle(int style) override {
    std::lock_guard lock(mutex_);
    border_styles_.push_back(style);
  }

  // As a window does, the client area takes the size.
  void ResizeClient(Size size) override {
    std::lock_guard lock(mutex_);
    resizes_.push_back(size);
    client_ = size;
  }

  void SetClientSize(Size size) { Set(client_, size); }
  void SetButtonFaceColour(Colour colour) { Set(button_face_, colour); }
  void SetDisplayDepth(int depth) { Set(depth_, depth); }

  std::vector<Rect> marks() const { return Locked(marks_); }
  std::size_t mark_count() const { return marks().size(); }
  std::vector<int> border_styles() const { return Locked(border_styles_); }
  std::vector<Size> resizes() const { return Locked(resizes_); }

  // Waits until at least count marks have been made; false on timeout.
  bool WaitForMarks(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return marks_.size() >= count; });
  }

  // From now on a mark made on another thread waits in MarkForRepaint until
  // the test passes it on (PassOne) or stops holding (ReleaseAll).
  void HoldOtherThreads() { Set(holding_, true); }

  // Waits until another thread is held; false on timeout.
  bool WaitForHeld(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return held_ > 0; });
  }

  // Lets the held thread go on and waits until it has left MarkForRepaint.
  // Only after WaitForHeld has returned true.
  void PassOne() {
    std::unique_lock lock(mutex_);
    ++passes_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return passes_ == 0; });
  }

  // Stops holding; every held thread goes on.
  void ReleaseAll() {
    std::lock_guard lock(mutex_);
    holding_ = false;
    passes_ = 0;
    changed_.notify_all();
  }

 private:
  template <typename T>
  T Locked(const T& field) const {
    std::lock_guard lock(mutex_);
    return field;
  }

  template <typename T>
  void Set(T& field, T value) {
    std::lock_guard lock(mutex_);
    field = value;
    changed_.notify_all();
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  const std::thread::id owner_ = std::this_thread::get_id();
  Size client_{100, 100};
  Colour button_face_ = MakeColour(0xF0, 0xE0, 0xD0);
  int depth_ = 32;
  std::vector<Rect> marks_;
  std::vector<int> border_styles_;
  std::vector<Size> resizes_;
  bool holding_ = false;
  int held_ = 0;
  int passes_ = 0;
};

}  // namespace pictorin::test
