// What the two real windows share: a thread of its own that owns the window,
// and everything between it and the program thread.
// - open returns once the window shows (or could not be made), close once it
//   is gone, and wait_key blocks on the key queue;
// - when to repaint: the moment a frame is finished, at display rate while a
//   frame takes longer than one refresh, and whenever the window is exposed;
//   in between the thread sleeps until the window has an event or the program
//   wakes it;
// - Print Screen's picture of the finished frame.
// A backend supplies the system's part: making the window, handling its
// events, sleeping, and showing the drawing surface. Its destructor calls
// close(), while the hooks below still exist.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/key_codes.h"
#include "platform/key_queue.h"
#include "platform/window_backend.h"

namespace platform {

class WindowThread : public WindowBackend {
 public:
  std::string open(const Surface& surface, std::string_view title, const Presentation& presentation) final;
  void close() final;
  // The frame is finished: the window thread shows it at once, and a picture
  // asked for while it was drawn is saved now.
  std::uint8_t wait_key() final;

 protected:
  const Surface& surface() const { return *surface_; }
  const std::string& title() const { return title_; }
  const Presentation& presentation() const { return presentation_; }
  // Whether the thread runs: for a destructor that may run on it.
  std::thread& thread() { return thread_; }

  // For the window thread's event handling.
  void give_key(const KeyCodes& codes);
  // A close request is a key like Alt+F4 (0, 107); only the program closes
  // its window.
  void ask_to_close();
  // Print Screen: saves the picture now if the program waits for a key (its
  // frame is finished, and it cannot start the next one before the copy is
  // taken); otherwise the program saves it once the frame it draws is done.
  void save_finished_picture();

  // The window thread's hooks.
  // Sets the thread up, makes the window and shows it; why not, if it cannot.
  virtual std::string create() = 0;
  // Undoes create, also after it failed part way.
  virtual void destroy() = 0;
  // Handles the window's pending events; true when it needs a repaint.
  virtual bool handle_events() = 0;
  // Sleeps until the window has an event, wake() is called, or timeout_ms
  // has passed (-1: no timeout).
  virtual void sleep(int timeout_ms) = 0;
  // Shows the drawing surface as it stands.
  virtual void repaint() = 0;
  // From any thread: ends the window thread's sleep.
  virtual void wake() = 0;

 private:
  enum class State { opening, open, failed };
  void report(State state, std::string why = {});
  void run();
  void loop();

  const Surface* surface_ = nullptr;
  std::string title_;
  Presentation presentation_;
  KeyQueue keys_;
  std::thread thread_;
  std::atomic<bool> drawing_{false};          // the program is drawing a frame
  std::atomic<unsigned> frames_finished_{0};  // since the window opened
  std::atomic<bool> quit_{false};

  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::opening;
  std::string failure_;
  bool waiting_ = false;     // the program waits for a key, its frame finished
  bool save_asked_ = false;  // Print Screen was pressed while a frame was drawn
};

}  // namespace platform
