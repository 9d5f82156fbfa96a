// The key queue between the window thread and the program: at most 31 bytes; a
// key is one byte (a character) or two (0 and a code), added as one entry. A key
// that arrives at a full queue first pushes out the oldest entries, both bytes of
// a two-byte key together.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>

namespace platform {

class KeyQueue {
 public:
  static constexpr std::size_t capacity = 31;

  // Adds one key (1 or 2 bytes) as a whole.
  void push(std::span<const std::uint8_t> key);
  // Blocks until a byte is there and returns the oldest.
  std::uint8_t pop();
  // The oldest byte, if one arrives within `timeout_ms`.
  std::optional<std::uint8_t> pop_for(int timeout_ms);
  void clear();
  std::size_t size() const;

 private:
  struct Byte {
    std::uint8_t value;
    bool pair_head;  // first byte of a two-byte key still whole in the queue
  };
  std::uint8_t take_locked();

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Byte> bytes_;
};

}  // namespace platform
