// The drawing area: 8-bit palette indices, one byte a pixel, shared between the
// program thread that draws and the window thread that shows it.
//
// A single pixel is one byte, plotted and read as a relaxed atomic access
// (std::atomic_ref), so plotting and reading take no lock. Operations that touch
// many pixels (clear, line, ellipse) hold the surface's lock, and so does a
// repaint's copy, so a repaint never shows half of one.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

class Surface {
 public:
  // Makes the area width x height, every pixel 0. Only while no other thread
  // looks at the surface.
  void resize(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }

  bool inside(int x, int y) const {
    return static_cast<unsigned>(x) < static_cast<unsigned>(width_) &&
           static_cast<unsigned>(y) < static_cast<unsigned>(height_);
  }

  void plot(int x, int y, std::uint8_t colour) {
    if (inside(x, y))
      std::atomic_ref(pixels_[static_cast<std::size_t>(y) * width_ + x]).store(colour, std::memory_order_relaxed);
  }
  // The raw index at (x, y); 0 outside the area.
  std::uint8_t get(int x, int y) const {
    if (inside(x, y))
      return std::atomic_ref(pixels_[static_cast<std::size_t>(y) * width_ + x]).load(std::memory_order_relaxed);
    return 0;
  }

  void clear(std::uint8_t colour);
  // Both end points included; pixels outside the area are skipped.
  void line(int x1, int y1, int x2, int y2, std::uint8_t colour);
  // The ellipse inside the box (cx +- rx, cy +- ry): its boundary pixels (those
  // with a 4-neighbour outside it) in `outline`, the rest in `fill`.
  void filled_ellipse(int cx, int cy, int rx, int ry, std::uint8_t outline, std::uint8_t fill);

  // Calls f(const std::uint8_t* row, int y) for every row under the lock, so
  // the picture seen holds no half-finished operation.
  template <class F>
  void for_each_row_locked(F&& f) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width_));
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* src = &pixels_[static_cast<std::size_t>(y) * width_];
      for (int x = 0; x < width_; ++x) row[x] = std::atomic_ref(src[x]).load(std::memory_order_relaxed);
      f(row.data(), y);
    }
  }
  // The whole area, row by row, as one consistent picture.
  std::vector<std::uint8_t> copy() const;

 private:
  void span(int y, int x_from, int x_to, std::uint8_t colour);

  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<std::uint8_t[]> pixels_;
  mutable std::mutex mutex_;
};

}  // namespace platform
