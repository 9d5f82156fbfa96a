// stereo-snapshot: runs a program's own main loop on the headless window and
// saves the drawing area as it stands when the given keys are used up.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "korvelan/viewer.h"
#include "platform/command_line.h"
#include "platform/headless_window.h"
#include "platform/output_file.h"
#include "platform/picture_formats.h"
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
    const std::optional<std::uint8_t> key = platform::parse_decimal<std::uint8_t>(item);
    if (!key) throw Failure("--keys: \"" + item + "\" is not a key code from 0 to 255");
    keys.push_back(*key);
    start = end + 1;
  }
  return keys;
}

struct Output {
  std::unique_ptr<platform::OutputFile> file;
  std::vector<std::uint8_t> (*encode)(int, int, std::span<const std::uint8_t>);
};

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Runs a stereogram program on a headless window and saves a frame.\n\n"
      "The program's own main loop runs as it does in its window, with the keys given\n"
      "instead of a keyboard. When the keys are used up the run stops at that key wait\n"
      "and the picture drawn last is saved. Without --keys, the first frame is saved.\n"
      "A FILE of - is standard output.\n\n"
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
    const std::optional<std::uint32_t> seed = platform::parse_decimal<std::uint32_t>(seed_text);
    if (seeded && !seed) throw Failure("--seed: \"" + seed_text + "\" is not a number from 0 to 4294967295");
    const std::vector<std::uint8_t> keys = app.count("--keys") ? parse_keys(keys_text) : std::vector<std::uint8_t>{};
    if (png_path.empty() && pgm_path.empty()) throw Failure("nothing to save: give --png FILE or --pgm FILE");
    if (!png_path.empty() && !pgm_path.empty() && platform::same_file(png_path, pgm_path))
      throw Failure(png_path == "-" ? "only one picture can go to standard output"
                                    : "--png and --pgm name the same file: " + png_path);

    // An interrupted run leaves no temporary file; a closed pipe is a write
    // failure like any other, reported as such.
    platform::remove_temporary_files_on_signals();
    platform::fail_writes_to_closed_pipes();
    std::vector<Output> outputs;
    if (!png_path.empty()) outputs.push_back({std::make_unique<platform::OutputFile>(png_path), platform::encode_png});
    if (!pgm_path.empty()) outputs.push_back({std::make_unique<platform::OutputFile>(pgm_path), platform::encode_pgm});

    platform::use_headless_window(keys);
    if (seeded) platform::fix_random_seed(*seed);
    if (const int status = found->second(); status != 0)
      throw Failure(program + " ended with code " + std::to_string(status));
    const platform::DrawingArea area = platform::drawing_area();

    // Staged files are written first: if one of them fails, nothing has gone
    // to a pipe or device yet, and no file is left behind.
    std::stable_partition(outputs.begin(), outputs.end(), [](const Output& o) { return o.file->staged(); });
    for (Output& output : outputs) output.file->write(output.encode(area.width, area.height, area.pixels));
    for (Output& output : outputs) output.file->commit();
  } catch (const std::runtime_error& failure) {  // a Failure, an OutputError or an encoding failure
    std::fprintf(stderr, "stereo-snapshot: %s\n", failure.what());
    return 2;
  }
  return 0;
}
