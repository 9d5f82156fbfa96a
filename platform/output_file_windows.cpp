// Output files on Windows, by the same rules as on Linux with the system's own
// means: standard output and devices or pipes are written through; anything
// else is staged in a temporary file beside the destination and moved over it
// once complete. ReplaceFile keeps an existing file's attributes and
// permissions, as a kept mode does on Linux. Paths are in the system's code
// page, as the C run time takes them.
#include "platform/output_file.h"

#include <io.h>
#include <windows.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/windows_errors.h"

namespace platform {
namespace {

// The temporary files not yet committed, for the console's control handler,
// which runs on a thread of its own.
std::mutex temporaries_mutex;
std::vector<std::string> temporaries;

BOOL WINAPI remove_temporaries(DWORD) {
  const std::lock_guard lock(temporaries_mutex);
  for (const std::string& path : temporaries) DeleteFileA(path.c_str());
  temporaries.clear();
  return FALSE;  // the system's own handler then ends the process
}

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// Where the last folder separator of `path` is, if it has one.
std::size_t last_separator(const std::string& path) { return path.find_last_of("/\\"); }

// The full path of `path`, with the system's separators: what ReplaceFile
// needs (Wine's does not take a relative path or forward slashes).
std::string full_path(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

}  // namespace

OutputFile::OutputFile(std::string path, Kind kind) : path_(std::move(path)) {
  destination_ = full_path(path_);
  if (kind == Kind::new_file) {
    stage(nullptr);
    return;
  }
  if (path_ == "-") {
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
      throw OutputError("will not write a picture to a terminal");
    fd_ = _fileno(stdout);
    owns_fd_ = false;
    return;
  }
  // The file as it stands, links followed to their final target.
  const HANDLE existing = CreateFileA(destination_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (existing == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) fail(static_cast<int>(error));
    stage(nullptr);
    return;
  }
  BY_HANDLE_FILE_INFORMATION found{};
  GetFileInformationByHandle(existing, &found);
  const DWORD type = GetFileType(existing);
  if (GetFileAttributesA(destination_.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) {
    char target[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(existing, target, sizeof target, FILE_NAME_NORMALIZED);
    if (length > 0 && length < sizeof target) destination_.assign(target, length);
  }
  CloseHandle(existing);
  // A folder cannot be written as a file: the system says access is denied.
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) fail(ERROR_ACCESS_DENIED);
  if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
    const HANDLE device = CreateFileA(destination_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) fail(static_cast<int>(GetLastError()));
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(device), _O_WRONLY | _O_BINARY);
    return;
  }
  stage(nullptr);
}

// A temporary file beside the destination, named as on Linux. (An existing
// file's attributes pass to the new one when it replaces it.)
void OutputFile::stage(const struct stat*) {
  staged_ = true;
  const std::size_t separator = last_separator(destination_);
  const std::string folder = separator == std::string::npos ? "" : destination_.substr(0, separator + 1);
  const std::string base = destination_.substr(folder.size());
  std::uint32_t state = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (int attempt = 0;; ++attempt) {
    std::string name = folder + "." + base + ".";
    for (int i = 0; i < 6; ++i) {
      state = state * 1664525u + 1013904223u;
      name += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"[(state >> 16) % 62];
    }
    const std::lock_guard lock(temporaries_mutex);
    // Deletable while open: an interruption removes it while it is written.
    const HANDLE file =
        CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS && attempt < 100) continue;
      fail(static_cast<int>(error));
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    temporary_ = name;
    temporaries.push_back(name);
    return;
  }
}

OutputFile::~OutputFile() {
  if (owns_fd_ && fd_ >= 0) _close(fd_);
  if (!temporary_.empty()) {
    DeleteFileA(temporary_.c_str());
    forget_temporary();
  }
}

void OutputFile::fail(int error) const {
  throw OutputError("cannot write " + name() + ": " + windows_error_text(static_cast<unsigned long>(error)));
}

void OutputFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 30));
    if (!WriteFile(handle_of(fd_), bytes.data(), size, &written, nullptr)) fail(static_cast<int>(GetLastError()));
    if (!written) fail(ERROR_WRITE_FAULT);
    bytes = bytes.subspan(written);
  }
}

void OutputFile::flush_staged() {
  if (fd_ < 0) return;  // done already
  // On the disk before the name: a crash then leaves the old file or the new one.
  if (!FlushFileBuffers(handle_of(fd_))) fail(static_cast<int>(GetLastError()));
  _close(fd_);
  fd_ = -1;
}

void OutputFile::forget_temporary() {
  const std::lock_guard lock(temporaries_mutex);
  std::erase(temporaries, temporary_);
  temporary_.clear();
}

void OutputFile::commit() {
  if (!staged_) {
    if (!owns_fd_) return;
    _close(fd_);
    fd_ = -1;
    return;
  }
  flush_staged();
  if (!ReplaceFileA(destination_.c_str(), temporary_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                    nullptr)) {
    const DWORD error = GetLastError();
    // Nothing to replace: the file is new.
    if (error != ERROR_FILE_NOT_FOUND) fail(static_cast<int>(error));
    if (!MoveFileExA(temporary_.c_str(), destination_.c_str(), MOVEFILE_WRITE_THROUGH))
      fail(static_cast<int>(GetLastError()));
  }
  forget_temporary();
}

bool OutputFile::commit_as_new(const std::string& path) {
  flush_staged();
  // Moving without replacing claims the name only if nothing has it.
  if (!MoveFileExA(temporary_.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
    fail(static_cast<int>(error));
  }
  path_ = path;
  forget_temporary();
  return true;
}

void remove_temporary_files_on_signals() { SetConsoleCtrlHandler(remove_temporaries, TRUE); }

// A write to a closed pipe fails on Windows (ERROR_NO_DATA) and ends nothing.
void fail_writes_to_closed_pipes() {}

bool same_file(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return a == b;
  // An existing file is known by its volume and its index there.
  const auto identity = [](const std::string& path) -> std::optional<std::tuple<DWORD, DWORD, DWORD>> {
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!known) return std::nullopt;
    return std::tuple{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
  };
  if (const auto first = identity(a), second = identity(b); first && second) return first == second;
  // Names of files yet to be made, whatever the case of their letters.
  namespace fs = std::filesystem;
  std::error_code ignored;
  return _stricmp(fs::weakly_canonical(fs::absolute(a), ignored).string().c_str(),
                  fs::weakly_canonical(fs::absolute(b), ignored).string().c_str()) == 0;
}

}  // namespace platform
