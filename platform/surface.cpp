#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/line_walk.h"

namespace platform {

namespace {

// A line whose ends lie in the area: so does every pixel of it, and none is
// tested. Plain stores, as in clear: the caller's lock keeps a repaint out.
void line_inside(std::uint8_t* pixels, int width, int x1, int y1, int x2, int y2, std::uint8_t colour) {
  walk_line_offsets(x1, y1, x2, y2, width, [pixels, colour](std::ptrdiff_t offset) { pixels[offset] = colour; });
}

}  // namespace

void Surface::resize(int width, int height) {
  std::lock_guard lock(mutex_);
  width_ = width;
  height_ = height;
  pixels_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(width) * height);  // zeroed
}

void Surface::clear(std::uint8_t colour) {
  // Plain stores: only the drawing thread plots, and a repaint waits for the lock.
  std::lock_guard lock(mutex_);
  std::memset(pixels_.get(), colour, static_cast<std::size_t>(width_) * height_);
}

void Surface::line(int x1, int y1, int x2, int y2, std::uint8_t colour) {
  std::lock_guard lock(mutex_);
  if (inside(x1, y1) && inside(x2, y2)) {
    line_inside(pixels_.get(), width_, x1, y1, x2, y2, colour);
  } else {
    walk_line(x1, y1, x2, y2, [&](int x, int y) { plot(x, y, colour); });
  }
}

void Surface::span(int y, int x_from, int x_to, std::uint8_t colour) {
  if (y < 0 || y >= height_) return;
  x_from = std::max(x_from, 0);
  x_to = std::min(x_to, width_ - 1);
  for (int x = x_from; x <= x_to; ++x) plot(x, y, colour);
}

void Surface::filled_ellipse(int cx, int cy, int rx, int ry, std::uint8_t outline, std::uint8_t fill) {
  rx = std::abs(rx);
  ry = std::abs(ry);
  // A pixel (dx, dy) belongs to the ellipse with semi-axes rx + 1/2 and
  // ry + 1/2: (2dx)^2 b^2 + (2dy)^2 a^2 <= a^2 b^2 with a = 2rx + 1, b = 2ry + 1.
  // That keeps it inside the box and gives round small discs. half(dy) is the
  // largest |dx| in row dy, -1 outside the ellipse.
  const long long a2 = (2LL * rx + 1) * (2LL * rx + 1), b2 = (2LL * ry + 1) * (2LL * ry + 1);
  auto half = [&](long long dy) -> long long {
    if (dy < -ry || dy > ry) return -1;
    const long long room = a2 * b2 - 4 * dy * dy * a2;  // >= 4 dx^2 b2
    long long h = std::llround(std::sqrt(static_cast<double>(room) / (4.0 * b2)));
    while (h > 0 && 4 * h * h * b2 > room) --h;
    while (4 * (h + 1) * (h + 1) * b2 <= room) ++h;
    return std::min<long long>(h, rx);
  };
  std::lock_guard lock(mutex_);
  const int first = std::max(-ry, -cy), last = std::min(ry, height_ - 1 - cy);
  for (int dy = first; dy <= last; ++dy) {
    const long long h = half(dy);
    // Interior: both horizontal neighbours inside, and the pixels above and below.
    const long long inner = std::min({h - 1, half(dy - 1), half(dy + 1)});
    const int y = cy + dy;
    if (inner < 0) {
      span(y, static_cast<int>(cx - h), static_cast<int>(cx + h), outline);
      continue;
    }
    span(y, static_cast<int>(cx - h), static_cast<int>(cx - inner - 1), outline);
    span(y, static_cast<int>(cx - inner), static_cast<int>(cx + inner), fill);
    span(y, static_cast<int>(cx + inner + 1), static_cast<int>(cx + h), outline);
  }
}

std::vector<std::uint8_t> Surface::copy() const {
  std::vector<std::uint8_t> picture(static_cast<std::size_t>(width_) * height_);
  for_each_row_locked([&](const std::uint8_t* row, int y) {
    std::copy(row, row + width_, picture.begin() + static_cast<std::ptrdiff_t>(y) * width_);
  });
  return picture;
}

}  // namespace platform
