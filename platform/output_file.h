// A file that a saved picture goes to, written so that no partial file is left
// behind, whatever the destination is:
// - "-" is standard output;
// - an existing FIFO, character or block device is written through, in place;
// - a symbolic link is followed: its final target is the destination, and the
//   link stays a link;
// - anything else (a regular file, a new name) is staged: written to a
//   temporary file beside it and renamed over it once complete, so readers see
//   the old file or the new one, never a mixture. An existing file keeps its
//   mode (and, for root, its owner).
// Every failure is an OutputError whose message names the file and the cause.
// On Windows (output_file_windows.cpp) the devices and pipes are the system's
// own, and an existing file keeps its attributes and permissions.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

struct stat;

namespace platform {

struct OutputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class OutputFile {
 public:
  enum class Kind {
    any,       // whatever `path` is, by the rules above
    new_file,  // a file still to be made: always staged, named by commit_as_new
  };
  // Opens the destination: the temporary file of a staged file, or the
  // destination itself when written through.
  explicit OutputFile(std::string path, Kind kind = Kind::any);
  // Removes the temporary file unless committed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::span<const std::uint8_t> bytes);
  // Flushes to the disk and renames the temporary file over the destination
  // (replacing it), or closes the destination written through.
  void commit();
  // For a staged file: flushes it and gives it the name `path` in the same
  // folder unless that name exists. False when it exists; the temporary file
  // then stays for another try.
  bool commit_as_new(const std::string& path);

  const std::string& path() const { return path_; }
  // Whether the bytes go to a temporary file first (not written through).
  bool staged() const { return staged_; }
  // How the file is named in messages: its path, or "standard output".
  std::string name() const { return path_ == "-" ? "standard output" : path_; }

 private:
  [[noreturn]] void fail(int error) const;
  void stage(const struct stat* existing);
  void flush_staged();
  void forget_temporary();

  std::string path_;         // as given
  std::string destination_;  // where the bytes go, symbolic links followed
  std::string temporary_;    // the staged file's temporary name, empty once committed
  int fd_ = -1;
  bool owns_fd_ = true;  // false for standard output
  bool staged_ = false;  // flushed and closed once fd_ is -1
};

// From now on SIGINT, SIGTERM and SIGHUP remove the temporary files of
// uncommitted OutputFiles, then end the process as the signal would have.
// For single-threaded programs. On Windows: Ctrl+C, Ctrl+Break and the
// console's closing.
void remove_temporary_files_on_signals();

// From now on a write to a pipe whose reader has gone fails like any other
// write failure, rather than ending the process (SIGPIPE).
void fail_writes_to_closed_pipes();

// Whether two paths name the same file: the same existing file (through links
// too), or the same place for one yet to be made. "-" names standard output.
bool same_file(const std::string& a, const std::string& b);

}  // namespace platform
