// Pictures saved from the window (the Print Screen key): indexed PNGs with the
// start palette, the same bytes that stereo-snapshot writes for the frame,
// named <program>-YYYYMMDD-HHMMSS.png, with -2, -3, ... when that name is taken.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Where pictures go (default: the current folder) and the program name that
// begins their names and the line that reports them.
void set_saved_picture_folder(std::string program, std::string folder);

// Saves a finished picture of width x height palette indices. Writes one line
// to standard error: where it went, or why it could not be saved.
void save_picture(int width, int height, std::span<const std::uint8_t> pixels);

}  // namespace platform
