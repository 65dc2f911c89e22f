// An output file that is either the complete new file or the untouched old
// one: bytes go to a temporary file in the target's folder, which Commit()
// renames over the target. Without Commit() the temporary file is removed,
// also when SIGTERM, SIGINT or SIGHUP ends the program (temporary_files.h).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvexa {

class AtomicFile {
 public:
  // Throws KorvexaError naming `target` when it cannot be written: a missing
  // or read-only folder, a read-only file, a folder, device, FIFO or socket
  // of that name. A `target` that is a link writes the file it points to.
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Throws KorvexaError when the bytes cannot be written (a full disk).
  void Write(std::string_view bytes);

  // Writers append lines to one `buffer` and hand it over after each line:
  // it is written and emptied once it holds kFlushSize bytes or more.
  void FlushWhenFull(std::string& buffer) {
    if (buffer.size() < kFlushSize) return;
    Write(buffer);
    buffer.clear();
  }
  static constexpr std::size_t kFlushSize = 1 << 20;

  // The temporary file, in the target's folder. Another program may write
  // the new content there instead (replacing the file); Commit then makes it
  // the target's.
  const std::filesystem::path& TemporaryPath() const { return temporary_; }

  // The file written: the target at the end of its chain of links.
  const std::filesystem::path& Target() const { return target_; }

  // Makes the new content the target's. Throws KorvexaError on failure, in
  // which case the target keeps its old content.
  void Commit();

  // Commits two files that belong together (a CSV and its .prj) so that no
  // signal of this program comes between them, `last` renamed last. When
  // `last` cannot be renamed, `first` gets its old content back (or is
  // removed when it had none) and KorvexaError is thrown.
  static void CommitTogether(AtomicFile& first, AtomicFile& last);

 private:
  void Sync();
  void Rename();
  [[noreturn]] void Fail(const char* action, int error) const;
  [[noreturn]] void Fail(const char* action, const char* why) const;
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  int slot_ = -1;  // the temporary file's, to be removed on SIGTERM (temporary_files.h)
};

// Writes the entries of `folder` to the disk, so that a file renamed into
// it keeps its name when the disk goes away at once (a GPS unit pulled out
// after a send). Commit leaves this to the callers that need it: a rename
// not yet on the disk leaves the old file, which the promise above allows.
// A file system that cannot sync a folder counts as synced. Throws
// KorvexaError naming the folder otherwise.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace korvexa
