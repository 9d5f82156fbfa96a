// The drawing area as picture files: an indexed-colour PNG with the start
// palette (the picture as it was shown), and a binary PGM of what read_pixel
// gives at each pixel. Both are pure functions of the palette indices, so the
// same picture gives the same bytes wherever it is encoded.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// `pixels` holds width x height raw palette indices, row by row from the top.
std::vector<std::uint8_t> encode_png(int width, int height, std::span<const std::uint8_t> pixels);
std::vector<std::uint8_t> encode_pgm(int width, int height, std::span<const std::uint8_t> pixels);

}  // namespace platform
