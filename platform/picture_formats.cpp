#include "platform/picture_formats.h"

#include <zlib.h>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/palette.h"

namespace platform {
namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A PNG chunk: length, type, data, and the CRC-32 of type and data.
void put_chunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  put_u32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> encode_png(int width, int height, std::span<const std::uint8_t> pixels) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<std::uint8_t> header;
  put_u32(header, static_cast<std::uint32_t>(width));
  put_u32(header, static_cast<std::uint32_t>(height));
  // 8 bits an index, colour type 3 (palette), deflate, adaptive filtering, no interlace.
  header.insert(header.end(), {8, 3, 0, 0, 0});
  put_chunk(out, "IHDR", header);

  std::array<std::uint8_t, 3 * 256> colours{};
  for (std::size_t i = 0; i < 256; ++i) {
    colours[3 * i] = static_cast<std::uint8_t>(start_palette[i] >> 16);
    colours[3 * i + 1] = static_cast<std::uint8_t>(start_palette[i] >> 8);
    colours[3 * i + 2] = static_cast<std::uint8_t>(start_palette[i]);
  }
  put_chunk(out, "PLTE", colours);

  // Each row is stored unfiltered (filter byte 0): the palette indices are
  // labels, not intensities, so differences between neighbours help little.
  const std::size_t row = static_cast<std::size_t>(width);
  std::vector<std::uint8_t> raw;
  raw.reserve((row + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const auto line = pixels.subspan(static_cast<std::size_t>(y) * row, row);
    raw.insert(raw.end(), line.begin(), line.end());
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> compressed(size);
  if (compress2(compressed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("cannot compress the picture");
  compressed.resize(size);
  put_chunk(out, "IDAT", compressed);
  put_chunk(out, "IEND", {});
  return out;
}

std::vector<std::uint8_t> encode_pgm(int width, int height, std::span<const std::uint8_t> pixels) {
  const std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<std::uint8_t> out(header.begin(), header.end());
  out.reserve(header.size() + pixels.size());
  for (const std::uint8_t index : pixels) out.push_back(read_back_index[index]);
  return out;
}

}  // namespace platform
