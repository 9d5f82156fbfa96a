#include "platform/key_queue.h"

#include <chrono>

namespace platform {

void KeyQueue::push(std::span<const std::uint8_t> key) {
  if (key.empty() || key.size() > 2) return;
  {
    std::lock_guard lock(mutex_);
    while (bytes_.size() + key.size() > capacity) {
      const bool pair = bytes_.front().pair_head;
      bytes_.pop_front();
      if (pair) bytes_.pop_front();
    }
    for (std::size_t i = 0; i < key.size(); ++i)
      bytes_.push_back({key[i], key.size() == 2 && i == 0});
  }
  arrived_.notify_one();
}

std::uint8_t KeyQueue::take_locked() {
  const std::uint8_t value = bytes_.front().value;
  bytes_.pop_front();
  return value;
}

std::uint8_t KeyQueue::pop() {
  std::unique_lock lock(mutex_);
  arrived_.wait(lock, [&] { return !bytes_.empty(); });
  return take_locked();
}

std::optional<std::uint8_t> KeyQueue::pop_for(int timeout_ms) {
  std::unique_lock lock(mutex_);
  if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return !bytes_.empty(); }))
    return std::nullopt;
  return take_locked();
}

void KeyQueue::clear() {
  std::lock_guard lock(mutex_);
  bytes_.clear();
}

std::size_t KeyQueue::size() const {
  std::lock_guard lock(mutex_);
  return bytes_.size();
}

}  // namespace platform
