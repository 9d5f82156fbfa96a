#include "platform/saved_pictures.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "platform/output_file.h"
#include "platform/picture_formats.h"

namespace platform {
namespace {

std::mutex settings_mutex;  // the window thread saves too
std::string program_name = "picture";
std::string picture_folder = ".";

std::string timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

void set_saved_picture_folder(std::string program, std::string folder) {
  const std::lock_guard lock(settings_mutex);
  program_name = std::move(program);
  picture_folder = std::move(folder);
}

void save_picture(int width, int height, std::span<const std::uint8_t> pixels) {
  std::string program, folder;
  {
    const std::lock_guard lock(settings_mutex);
    program = program_name;
    folder = picture_folder;
  }
  const std::string name = program + "-" + timestamp();
  const std::string stem = folder == "." ? name : (std::filesystem::path(folder) / name).string();
  try {
    OutputFile file(stem + ".png", OutputFile::Kind::new_file);
    file.write(encode_png(width, height, pixels));
    for (int take = 1; !file.commit_as_new(take == 1 ? stem + ".png" : stem + "-" + std::to_string(take) + ".png");)
      ++take;
    std::fprintf(stderr, "%s: saved %s\n", program.c_str(), file.path().c_str());
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), error.what());
  }
}

}  // namespace platform
