#include "platform/command_line.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/random.h"
#include "platform/saved_pictures.h"
#include "platform/window_backend.h"

namespace platform {

std::optional<int> apply_command_line(int argc, char** argv, std::string_view program, std::string_view keys_help) {
  const std::string name(program);
  CLI::App app{name + ": random-dot stereograms in a 256-colour window.", name};
  app.set_help_flag("-h,--help", "print this help and exit");
  app.set_version_flag("--version", name + " " + STEREOGRAMS_VERSION, "print the version and exit");
  app.footer("Keys:\n" + std::string(keys_help) +
             "  Print Screen  save the picture as NAME-YYYYMMDD-HHMMSS.png in the save folder\n");
  std::string seed_text, scale_text, save_dir = ".";
  bool fullscreen = false;
  app.add_option("--seed", seed_text, "seed the random generator with N (0 to 4294967295) instead of the clock")
      ->option_text("N");
  app.add_option("--scale", scale_text, "show each pixel as an N x N block, N from 1 to 8")->option_text("N");
  app.add_flag("--fullscreen", fullscreen, "fill the screen, at the largest whole scale that fits, on black")
      ->disable_flag_override();
  app.add_option("--save-dir", save_dir, "where Print Screen saves pictures (default: the current folder)")
      ->option_text("DIR");
  try {
    app.parse(argc, argv);
    if (app.count("--seed")) {
      const auto seed = parse_decimal<std::uint32_t>(seed_text);
      if (!seed) throw CLI::ValidationError("--seed", "\"" + seed_text + "\" is not a number from 0 to 4294967295");
      fix_random_seed(*seed);
    }
    const auto scale = app.count("--scale") ? parse_decimal<int>(scale_text) : 1;
    if (!scale || *scale < 1 || *scale > 8)
      throw CLI::ValidationError("--scale", "\"" + scale_text + "\" is not a whole number from 1 to 8");
    set_window_presentation({*scale, fullscreen});
    if (std::error_code error; !std::filesystem::is_directory(save_dir, error))
      throw CLI::ValidationError("--save-dir", "\"" + save_dir + "\" is not a folder");
  } catch (const CLI::Success& done) {
    return app.exit(done);  // --help or --version
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "%s: %s (see --help)\n", name.c_str(), error.what());
    return 2;
  }
  set_saved_picture_folder(name, save_dir);
  return std::nullopt;
}

}  // namespace platform
