#include "events/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace qev {
namespace {

std::string Reason(int err) {
  return std::strerror(err);
}

const char* const kNotRegular = "not a regular file";

bool HasNul(const std::filesystem::path& path) {
  return path.native().find('\0') != std::string::npos;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now, reporting the error a deferred write may only show here.
  int Close() {
    int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

// Writes everything from `offset` on, going on after short writes and
// interruptions.
bool WriteAll(int fd, std::string_view bytes, off_t offset = 0) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no
// reason to report the save as failed.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A short name no other writer uses, whatever the length of the target's
// name: this process and a counter.
std::filesystem::path TempName(const std::filesystem::path& folder) {
  static std::atomic<unsigned> counter{0};
  return folder / (".qev" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp");
}

// The temporary file the text is written to before it replaces the target.
// Where the file system allows it the file has no name until it is
// complete, so a save that is killed leaves nothing behind.
class TempFile {
 public:
  explicit TempFile(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~TempFile() {
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // 0, or the error that kept the file from being created.
  int Create() {
    // The unnamed file is given its name through /proc, so without /proc
    // a named one is used from the start.
    if (::access("/proc/self/fd", X_OK) == 0) {
      fd_.Reset(::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
      if (fd_.get() >= 0) return 0;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::filesystem::path name = TempName(folder_);
      fd_.Reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (fd_.get() >= 0) {
        name_ = std::move(name);
        return 0;
      }
      if (errno != EEXIST) break;
    }
    return errno;
  }

  int fd() const { return fd_.get(); }

  // Puts the complete file in place of `target`; 0 or the error.
  int ReplaceTarget(const std::filesystem::path& target) {
    if (name_.empty()) {
      // An unnamed file gets a name only now, for the rename.
      std::filesystem::path name = TempName(folder_);
      std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return errno;
      }
      name_ = std::move(name);
    }
    if (::rename(name_.c_str(), target.c_str()) != 0) return errno;
    name_.clear();
    return 0;
  }

 private:
  std::filesystem::path folder_;
  std::filesystem::path name_;  // empty while the file has no name
  Fd fd_;
};

constexpr std::string_view kBackupSuffix = ".qev-backup";
constexpr std::string_view kIncompleteSuffix = ".qev-backup-incomplete";
constexpr std::size_t kNameLimit = 255;  // bytes of one name in a folder

// `file` with `suffix` after its name, the name cut so that the whole stays
// within kNameLimit.
std::filesystem::path WithSuffix(const std::filesystem::path& file, std::string_view suffix) {
  std::string name = file.filename().string();
  std::size_t keep = std::min(name.size(), kNameLimit - suffix.size());
  // Cut at the start of a UTF-8 character.
  while (keep > 0 && keep < name.size() &&
         (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
    --keep;
  }
  name.resize(keep);
  return file.parent_path() / (name + std::string(suffix));
}

FileStamp StampOf(const struct stat& st, std::string_view bytes) {
  return {bytes.size(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec, ContentHash(bytes)};
}

// The stamp of the open file `fd` that holds `bytes`.
FileStamp StampOf(int fd, std::string_view bytes) {
  struct stat st {};
  ::fstat(fd, &st);
  return StampOf(st, bytes);
}

// Renames `from` to `to` unless something named `to` is there; 0 or the
// error (EEXIST when it is there).
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the exclusive rename.
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string InterruptedSave(const std::filesystem::path& backup) {
  return "an earlier save of this file was interrupted; the previous content is in " +
         backup.string() + " (move it away to save)";
}

// Copies everything `from` holds to the start of `to`; 0 or the error.
int CopyContent(int from, int to) {
  char buffer[65536];
  off_t offset = 0;
  for (;;) {
    ssize_t n = ::pread(from, buffer, sizeof buffer, offset);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(n)), offset)) return errno;
    offset += n;
  }
}

// Puts the old text back from the backup after `err` stopped an overwrite,
// and removes the backup once the target holds it again.
WriteOutcome RestoreFromBackup(const std::filesystem::path& target,
                               const std::filesystem::path& backup, off_t oldSize, int err) {
  Fd from(::open(backup.c_str(), O_RDONLY | O_CLOEXEC));
  Fd to(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (from.get() >= 0 && to.get() >= 0 && CopyContent(from.get(), to.get()) == 0 &&
      ::ftruncate(to.get(), oldSize) == 0 && ::fsync(to.get()) == 0) {
    ::unlink(backup.c_str());
    return {false, Reason(err), {}};
  }
  return {false,
          Reason(err) + "; the file may be damaged, its previous content is in " + backup.string(),
          {}};
}

// Overwrites the existing file `target`, whose status is `old`, with
// `bytes`. The old text goes to the backup first, so that a save stopped at
// any point leaves either a whole file or the backup to take it from.
WriteOutcome OverwriteInPlace(const std::filesystem::path& target, const struct stat& old,
                              std::string_view bytes, const OverwriteStepHook& afterStep) {
  auto step = [&](OverwriteStep s) {
    if (afterStep) afterStep(s);
  };
  Fd file(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return {false, Reason(errno), {}};
  // A backup already there may hold the only whole copy of the file: it
  // stays until the user has looked at it.
  const std::filesystem::path backupPath = BackupPath(target);
  struct stat there {};
  if (::lstat(backupPath.c_str(), &there) == 0) return {false, InterruptedSave(backupPath), {}};

  // The copy gets the backup's name only once it is whole and on disk, so
  // a save killed while copying leaves no backup that looks complete. What
  // such a save left under the temporary name is of no use: replaced.
  const std::filesystem::path partial = IncompleteBackupPath(target);
  ::unlink(partial.c_str());
  Fd backup(::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old.st_mode & 0666));
  if (backup.get() < 0) return {false, Reason(errno), {}};
  int err = CopyContent(file.get(), backup.get());
  if (err == 0 && ::fsync(backup.get()) != 0) err = errno;
  if (err == 0 && backup.Close() != 0) err = errno;
  if (err != 0) {
    ::unlink(partial.c_str());
    return {false, Reason(err), {}};
  }
  step(OverwriteStep::kBackupCopied);
  if (int renamed = RenameNoReplace(partial, backupPath); renamed != 0) {
    ::unlink(partial.c_str());
    return {false, renamed == EEXIST ? InterruptedSave(backupPath) : Reason(renamed), {}};
  }
  SyncFolder(backupPath.parent_path());
  step(OverwriteStep::kBackupWritten);

  // Space for a longer text is reserved beyond the end, the length staying,
  // so a full disk is mostly found before the old text is touched.
  const off_t size = static_cast<off_t>(bytes.size());
  if (size > old.st_size &&
      ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, old.st_size, size - old.st_size) != 0 &&
      errno == ENOSPC) {
    ::ftruncate(file.get(), old.st_size);  // gives back what was reserved
    ::unlink(backupPath.c_str());
    return {false, Reason(ENOSPC), {}};
  }
  if (!WriteAll(file.get(), bytes)) {
    return RestoreFromBackup(target, backupPath, old.st_size, errno);
  }
  step(OverwriteStep::kNewTextWritten);
  if (::ftruncate(file.get(), size) != 0) {
    return RestoreFromBackup(target, backupPath, old.st_size, errno);
  }
  step(OverwriteStep::kCutToLength);
  if (::fsync(file.get()) != 0) {
    return RestoreFromBackup(target, backupPath, old.st_size, errno);
  }
  const FileStamp stamp = StampOf(file.get(), bytes);
  if (file.Close() != 0) return RestoreFromBackup(target, backupPath, old.st_size, errno);
  step(OverwriteStep::kSynced);
  ::unlink(backupPath.c_str());
  step(OverwriteStep::kBackupRemoved);
  return {true, {}, stamp};
}

// Why `target` must not be replaced, or nothing. `existing` receives the
// status of the file a save would replace.
std::optional<std::string> RefusedTarget(const std::filesystem::path& target,
                                         std::optional<struct stat>& existing) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    int err = errno;
    struct stat link {};
    if (err == ENOENT && ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      return "a symbolic link to a file that does not exist";
    }
    // A new file, or a folder that is not there, which creating will tell.
    if (err == ENOENT) return std::nullopt;
    return Reason(err);
  }
  if (S_ISDIR(st.st_mode)) return Reason(EISDIR);
  if (!S_ISREG(st.st_mode)) return kNotRegular;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno == EACCES ? "the file is write-protected" : Reason(errno);
  }
  existing = st;
  return std::nullopt;
}

}  // namespace

FileBytes ReadWholeFile(const std::filesystem::path& path) {
  FileBytes result;
  if (HasNul(path)) {
    result.reason = Reason(ENOENT);
    return result;
  }
  // Without O_NONBLOCK opening a FIFO would wait for a writer forever.
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    int err = errno;
    result.status =
        err == ENOENT || err == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    result.reason = Reason(err);
    return result;
  }
  result.status = ReadStatus::kUnreadable;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.reason = Reason(errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.reason = S_ISDIR(st.st_mode) ? Reason(EISDIR) : kNotRegular;
    return result;
  }
  const std::string tooLarge = "larger than " + std::to_string(kFileSizeLimit >> 20) + " MB";
  if (static_cast<std::size_t>(st.st_size) > kFileSizeLimit) {
    result.reason = tooLarge;
    return result;
  }
  if (st.st_size > 0) result.bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileBytes{ReadStatus::kUnreadable, {}, Reason(errno), {}};
    }
    // A file that grows while it is read is held to the same limit.
    if (result.bytes.size() + static_cast<std::size_t>(n) > kFileSizeLimit) {
      return FileBytes{ReadStatus::kUnreadable, {}, tooLarge, {}};
    }
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  result.status = ReadStatus::kRead;
  result.stamp = StampOf(st, result.bytes);
  return result;
}

std::uint64_t ContentHash(std::string_view bytes) {
  // Four lanes of eight bytes, each mixed in by one multiplication, run
  // side by side: a file of tens of megabytes takes a few milliseconds, so
  // every read and save can hash it.
  constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
  auto mix = [](std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * kOdd;
    return h ^ (h >> 29);
  };
  auto word = [&](std::size_t at) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + at, 8);
    return w;
  };
  std::uint64_t lane[4] = {bytes.size(), 1, 2, 3};
  std::size_t i = 0;
  for (; i + 32 <= bytes.size(); i += 32) {
    for (std::size_t k = 0; k < 4; ++k) lane[k] = mix(lane[k], word(i + 8 * k));
  }
  std::uint64_t h = mix(mix(mix(lane[0], lane[1]), lane[2]), lane[3]);
  for (; i + 8 <= bytes.size(); i += 8) h = mix(h, word(i));
  std::uint64_t last = 0;
  if (i < bytes.size()) std::memcpy(&last, bytes.data() + i, bytes.size() - i);
  return mix(mix(h, last), kOdd);
}

std::optional<FileStamp> ChangedOnDisk(const std::filesystem::path& path, const FileStamp& stamp) {
  const FileBytes now = ReadWholeFile(path);
  if (now.status != ReadStatus::kRead) return std::nullopt;
  if (now.stamp.size == stamp.size && now.stamp.hash == stamp.hash) return std::nullopt;
  return now.stamp;
}

WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                 const OverwriteStepHook& afterStep) {
  if (HasNul(target) || !target.has_filename()) return {false, Reason(EINVAL), {}};
  if (bytes.size() > kFileSizeLimit) {
    return {false,
            "the file would be larger than " + std::to_string(kFileSizeLimit >> 20) +
                " MB, and a larger file is not read",
            {}};
  }

  std::optional<struct stat> existing;
  if (std::optional<std::string> refused = RefusedTarget(target, existing)) {
    return {false, std::move(*refused), {}};
  }

  // Write through a symbolic link to the file it names, keeping the link.
  std::filesystem::path real = target;
  std::error_code ec;
  if (existing && std::filesystem::is_symlink(target, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ec);
    if (!ec) real = resolved;
  }
  std::filesystem::path folder = real.parent_path();
  if (folder.empty()) folder = ".";

  TempFile temp(folder);
  if (int err = temp.Create(); err != 0) return {false, Reason(err), {}};

  // A renamed file would split hard links; where the new file cannot be
  // given the old one's owner and group either, the old file is
  // overwritten instead.
  if (existing) {
    bool inPlace =
        existing->st_nlink > 1 || ::fchown(temp.fd(), existing->st_uid, existing->st_gid) != 0;
    if (inPlace) {
      WriteOutcome outcome = OverwriteInPlace(real, *existing, bytes, afterStep);
      if (outcome.ok) SyncFolder(folder);
      return outcome;
    }
    ::fchmod(temp.fd(), existing->st_mode & 07777);
  }

  if (!WriteAll(temp.fd(), bytes) || ::fsync(temp.fd()) != 0) return {false, Reason(errno), {}};
  const FileStamp stamp = StampOf(temp.fd(), bytes);
  if (int err = temp.ReplaceTarget(real); err != 0) return {false, Reason(err), {}};
  SyncFolder(folder);
  return {true, {}, stamp};
}

WriteOutcome WriteNewFile(const std::filesystem::path& path, std::string_view bytes) {
  if (HasNul(path) || !path.has_filename()) return {false, Reason(EINVAL), {}};
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (fd.get() < 0) return {false, Reason(errno), {}};
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || fd.Close() != 0) {
    const int err = errno;
    ::unlink(path.c_str());
    return {false, Reason(err), {}};
  }
  std::filesystem::path folder = path.parent_path();
  SyncFolder(folder.empty() ? std::filesystem::path(".") : folder);
  return {true, {}, {}};
}

std::filesystem::path BackupPath(const std::filesystem::path& file) {
  return WithSuffix(file, kBackupSuffix);
}

std::filesystem::path IncompleteBackupPath(const std::filesystem::path& file) {
  return WithSuffix(file, kIncompleteSuffix);
}

namespace {

// `made` of the file a save of `file` writes to (through a symbolic link,
// the file it names), when something by that name is there.
std::optional<std::filesystem::path> Leftover(
    const std::filesystem::path& file,
    std::filesystem::path (*made)(const std::filesystem::path&)) {
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(file, ec);
  std::filesystem::path left = made(ec ? file : real);
  struct stat st {};
  if (::lstat(left.c_str(), &st) != 0) return std::nullopt;
  return left;
}

}  // namespace

std::optional<std::filesystem::path> LeftoverBackup(const std::filesystem::path& file) {
  return Leftover(file, BackupPath);
}

std::optional<std::filesystem::path> LeftoverIncompleteBackup(const std::filesystem::path& file) {
  return Leftover(file, IncompleteBackupPath);
}

}  // namespace qev
