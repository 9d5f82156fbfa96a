#include "platform/window_thread.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/saved_pictures.h"

namespace platform {
namespace {

constexpr auto frame_interval = std::chrono::milliseconds(16);  // repaint interval while a frame is drawn

}  // namespace

std::string WindowThread::open(const Surface& surface, std::string_view title, const Presentation& presentation) {
  close();
  surface_ = &surface;
  title_ = title;
  presentation_ = presentation;
  keys_.clear();
  drawing_ = true;
  frames_finished_ = 0;
  quit_ = false;
  {
    std::lock_guard lock(mutex_);
    state_ = State::opening;
    failure_.clear();
    waiting_ = false;
    save_asked_ = false;
  }
  thread_ = std::thread([this] { run(); });
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return state_ != State::opening; });
  if (state_ == State::failed) {
    lock.unlock();
    thread_.join();
    return failure_;
  }
  return {};
}

void WindowThread::close() {
  if (!thread_.joinable()) return;
  quit_ = true;
  wake();
  thread_.join();
}

std::uint8_t WindowThread::wait_key() {
  std::vector<std::uint8_t> picture;
  {
    std::lock_guard lock(mutex_);
    waiting_ = true;
    if (save_asked_) picture = surface_->copy();
    save_asked_ = false;
  }
  drawing_ = false;
  ++frames_finished_;
  wake();
  if (!picture.empty()) save_picture(surface_->width(), surface_->height(), picture);
  const std::uint8_t key = keys_.pop();
  {
    std::lock_guard lock(mutex_);
    waiting_ = false;
  }
  drawing_ = true;
  wake();
  return key;
}

void WindowThread::give_key(const KeyCodes& codes) {
  if (codes.size) keys_.push(std::span(codes.bytes.data(), codes.size));
}

void WindowThread::ask_to_close() {
  const std::uint8_t close_request[] = {0, 107};
  keys_.push(close_request);
}

void WindowThread::save_finished_picture() {
  std::vector<std::uint8_t> picture;
  {
    std::lock_guard lock(mutex_);
    if (waiting_)
      picture = surface_->copy();
    else
      save_asked_ = true;
  }
  if (!picture.empty()) save_picture(surface_->width(), surface_->height(), picture);
}

void WindowThread::report(State state, std::string why) {
  std::lock_guard lock(mutex_);
  state_ = state;
  failure_ = std::move(why);
  changed_.notify_all();
}

void WindowThread::run() {
  if (std::string why = create(); !why.empty()) {
    destroy();
    return report(State::failed, std::move(why));
  }
  report(State::open);
  loop();
  destroy();
}

void WindowThread::loop() {
  using clock = std::chrono::steady_clock;
  unsigned frames_shown = frames_finished_;
  bool exposed = false, was_drawing = false;
  clock::time_point last_repaint = clock::now(), frame_began = last_repaint;
  for (;;) {
    exposed |= handle_events();
    if (quit_) return;

    const auto now = clock::now();
    const bool drawing = drawing_;
    const unsigned finished = frames_finished_;
    if (drawing && !was_drawing) frame_began = now;
    was_drawing = drawing;
    // A frame quicker than one refresh goes straight from the last finished
    // picture to the next one; a slower one is seen building up.
    const auto due = std::max(last_repaint, frame_began) + frame_interval;
    if (exposed || finished != frames_shown || (drawing && now >= due)) {
      frames_shown = finished;
      exposed = false;
      repaint();
      last_repaint = clock::now();
      continue;  // the repaint may have brought events of its own
    }
    sleep(drawing ? static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count()) : -1);
  }
}

}  // namespace platform
