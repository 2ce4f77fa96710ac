#include "core/file_set.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>

namespace kinvalo {

namespace {

[[noreturn]] void Throw(const std::string& path, const char* what, int error) {
  throw std::runtime_error("The file \"" + path + "\" could not be " + what + " (" + std::strerror(error) + ").");
}

// Copies the file at `from` into the open file `fd` with its mode; for a
// folder whose file system has no hard links. Returns 0 or the errno.
int CopyInto(const std::string& from, int fd, mode_t mode) {
  std::string bytes;
  if (!ReadFileBytes(from, bytes)) return errno != 0 ? errno : EIO;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  if (::fchmod(fd, mode & 07777) != 0 || ::fsync(fd) != 0) return errno;
  return 0;
}

}  // namespace

FileSet::~FileSet() { Discard(); }

TextWriter& FileSet::Stage(const std::string& path) {
  auto writer = std::make_unique<TextWriter>();
  writer->CreateOrThrow(path);
  Entry entry;
  entry.path = path;
  entry.target = writer->TargetPath();
  entry.writer = std::move(writer);
  entries_.push_back(std::move(entry));
  return *entries_.back().writer;
}

void FileSet::Remove(const std::string& path) {
  // A link is removed itself, not the file it leads to.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw ReadOnlyFileError(path);
  }
  Entry entry;
  entry.path = path;
  entry.target = path;
  entries_.push_back(std::move(entry));
}

// Keeps the old file under a temporary name while the renames run: a hard
// link for a file to be replaced (a copy where the folder has no links),
// and for a file to be removed a name reserved for its rename.
void FileSet::Backup(Entry& entry) {
  struct stat st {};
  if (::lstat(entry.target.c_str(), &st) != 0) return;  // nothing to keep
  std::string backup;
  const int fd = CreateTemporaryBeside(entry.target, 0600, backup);
  if (fd < 0) Throw(entry.path, "put in place", errno);
  int error = InjectedFileFault(FileStep::Backup, entry.path);
  if (error == 0 && entry.writer != nullptr) {
    ::unlink(backup.c_str());
    if (::link(entry.target.c_str(), backup.c_str()) != 0) {
      error = errno;
      if (error == EPERM || error == EOPNOTSUPP || error == EMLINK) {
        const int copyFd = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        error = copyFd < 0 ? errno : CopyInto(entry.target, copyFd, st.st_mode);
        if (copyFd >= 0) ::close(copyFd);
      }
    }
  }
  ::close(fd);
  if (error != 0) {
    ::unlink(backup.c_str());
    Throw(entry.path, "put in place", error);
  }
  entry.backup = backup;
}

void FileSet::Commit() {
  try {
    for (Entry& entry : entries_) {
      if (entry.writer != nullptr) entry.writer->Finish();
    }
    for (Entry& entry : entries_) Backup(entry);
  } catch (...) {
    Discard();
    throw;
  }
  for (Entry& entry : entries_) {
    try {
      if (entry.writer != nullptr) {
        entry.writer->PutInPlace();
      } else if (!entry.backup.empty()) {
        int error = InjectedFileFault(FileStep::Rename, entry.path);
        if (error == 0 && std::rename(entry.target.c_str(), entry.backup.c_str()) != 0) error = errno;
        if (error != 0) Throw(entry.path, "removed", error);
      }
      entry.done = true;
    } catch (...) {
      RollBack();
      Discard();
      throw;
    }
  }
  DropBackups();
  // The renames on the disk too, before the run reports its results.
  std::set<std::string> folders;
  for (const Entry& entry : entries_) {
    const std::string folder = FolderOf(entry.target);
    folders.insert(folder.empty() ? std::string(".") : folder);
  }
  for (const std::string& folder : folders) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
  }
  entries_.clear();
}

// Puts the old files back, last replaced first. A file that was new goes
// again; an old file that cannot be put back stays under its temporary
// name rather than be lost.
void FileSet::RollBack() {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    Entry& entry = *it;
    if (!entry.done) continue;
    entry.done = false;
    if (entry.backup.empty()) {
      ::unlink(entry.target.c_str());
      continue;
    }
    if (InjectedFileFault(FileStep::Restore, entry.path) == 0) {
      std::rename(entry.backup.c_str(), entry.target.c_str());
    }
    entry.backup.clear();
  }
}

void FileSet::DropBackups() {
  for (Entry& entry : entries_) {
    if (!entry.backup.empty()) ::unlink(entry.backup.c_str());
    entry.backup.clear();
  }
}

void FileSet::Discard() {
  for (Entry& entry : entries_) {
    if (entry.writer != nullptr) entry.writer->Discard();
  }
  DropBackups();
  entries_.clear();
}

}  // namespace kinvalo
