// stereo-snapshot: runs a program's own main loop on the headless window and
// saves the drawing area as it stands when the given keys are used up.
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <cstring>
#include <string>
#include <vector>

#include "korvelan/viewer.h"
#include "platform/headless_window.h"
#include "platform/palette.h"
#include "platform/random.h"
#include "velumira/viewer.h"

namespace {

const std::map<std::string, std::function<int()>> programs = {
    {"velumira", velumira::run_velumira},
    {"korvelan", korvelan::run_korvelan},
};

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> parse_keys(const std::string& list) {
  std::vector<std::uint8_t> keys;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    const std::string item = list.substr(start, end - start);
    unsigned value = 0;
    const auto [rest, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || error != std::errc{} || rest != item.data() + item.size() || value > 255)
      throw Failure("--keys: \"" + item + "\" is not a key code from 0 to 255");
    keys.push_back(static_cast<std::uint8_t>(value));
    start = end + 1;
  }
  return keys;
}

std::uint32_t parse_seed(const std::string& text) {
  std::uint32_t value = 0;
  const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || rest != text.data() + text.size())
    throw Failure("--seed: \"" + text + "\" is not a number from 0 to 4294967295");
  return value;
}

// A file written under a temporary name beside its destination and renamed
// into place once complete, so a failed run leaves no partial file.
class PendingFile {
 public:
  explicit PendingFile(std::string path) : path_(std::move(path)) {
    std::string pattern = path_ + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw Failure("cannot write " + path_ + ": " + std::strerror(errno));
    // mkstemp makes the file private; a saved picture gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    temporary_ = pattern;
    file_ = fdopen(fd, "wb");
  }
  ~PendingFile() {
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) std::remove(temporary_.c_str());
  }
  std::FILE* get() { return file_; }
  void commit() {
    const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    std::fclose(file_);
    file_ = nullptr;
    if (!ok || std::rename(temporary_.c_str(), path_.c_str()) != 0)
      throw Failure("cannot write " + path_ + ": " + std::strerror(errno));
    temporary_.clear();
  }

 private:
  std::string path_, temporary_;
  std::FILE* file_ = nullptr;
};

// An indexed-colour PNG with the start palette: the picture as it was shown.
void write_png(PendingFile& out, const platform::DrawingArea& area) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw Failure("cannot encode the PNG");
  }
  png_init_io(png, out.get());
  png_set_IHDR(png, info, area.width, area.height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[256];
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t rgb = platform::start_palette[i];
    colours[i] = {static_cast<png_byte>(rgb >> 16), static_cast<png_byte>(rgb >> 8), static_cast<png_byte>(rgb)};
  }
  png_set_PLTE(png, info, colours, 256);
  png_write_info(png, info);
  for (int y = 0; y < area.height; ++y)
    png_write_row(png, &area.pixels[static_cast<std::size_t>(y) * area.width]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}

// A binary PGM of what read_pixel gives at each pixel.
void write_pgm(PendingFile& out, const platform::DrawingArea& area) {
  std::fprintf(out.get(), "P5\n%d %d\n255\n", area.width, area.height);
  std::vector<std::uint8_t> read_back(area.pixels.size());
  for (std::size_t i = 0; i < read_back.size(); ++i) read_back[i] = platform::read_back_index[area.pixels[i]];
  std::fwrite(read_back.data(), 1, read_back.size(), out.get());
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Runs a stereogram program on a headless window and saves a frame.\n\n"
      "The program's own main loop runs as it does in its window, with the keys given\n"
      "instead of a keyboard. When the keys are used up the run stops at that key wait\n"
      "and the picture drawn last is saved. Without --keys, the first frame is saved.\n\n"
      "Example: stereo-snapshot velumira --seed 7 --keys 97 --png depth.png\n",
      "stereo-snapshot"};
  std::string program, seed_text, keys_text, png_path, pgm_path;
  app.add_option("PROGRAM", program, "velumira or korvelan")->required();
  app.add_option("--seed", seed_text, "seed the random generator with N (0..4294967295) instead of the clock")
      ->option_text("N");
  app.add_option("--keys", keys_text, "decimal key codes for successive key waits, e.g. 97 or 0,32")
      ->option_text("K1,K2,...");
  app.add_option("--png", png_path, "save an indexed-colour PNG with the start palette")->option_text("FILE");
  app.add_option("--pgm", pgm_path, "save a binary PGM of the read-back palette index of each pixel")
      ->option_text("FILE");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "stereo-snapshot: %s (see --help)\n", error.what());
    return 2;
  }

  try {
    const auto found = programs.find(program);
    if (found == programs.end()) throw Failure("unknown program \"" + program + "\" (velumira or korvelan)");
    const bool seeded = app.count("--seed") > 0;
    const std::uint32_t seed = seeded ? parse_seed(seed_text) : 0;
    const std::vector<std::uint8_t> keys = app.count("--keys") ? parse_keys(keys_text) : std::vector<std::uint8_t>{};
    if (png_path.empty() && pgm_path.empty()) throw Failure("nothing to save: give --png FILE or --pgm FILE");

    std::optional<PendingFile> png, pgm;
    if (!png_path.empty()) png.emplace(png_path);
    if (!pgm_path.empty()) pgm.emplace(pgm_path);

    platform::use_headless_window(keys);
    if (seeded) platform::fix_random_seed(seed);
    if (const int status = found->second(); status != 0) throw Failure(program + " ended with code " + std::to_string(status));
    const platform::DrawingArea area = platform::drawing_area();

    if (png) {
      write_png(*png, area);
      png->commit();
    }
    if (pgm) {
      write_pgm(*pgm, area);
      pgm->commit();
    }
  } catch (const Failure& failure) {
    std::fprintf(stderr, "stereo-snapshot: %s\n", failure.what());
    return 2;
  }
  return 0;
}
