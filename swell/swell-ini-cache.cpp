#include "swell-ini-cache.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Another writer may rename or remove the temporary file while we wait for
// its lock; a few fresh attempts settle that without risking an endless loop.
constexpr int kLockAttempts = 8;

struct FileStamp
{
  int64_t time = 0;
  uint32_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& status)
{
  return {static_cast<int64_t>(status.st_mtime), static_cast<uint32_t>(status.st_size)};
}

FileStamp stampOfPath(const std::string& path)
{
  struct stat status;
  return !path.empty() && stat(path.c_str(), &status) == 0 ? stampOf(status) : FileStamp{};
}

FileStamp stampOfOpenFile(int fd)
{
  struct stat status;
  return fstat(fd, &status) == 0 ? stampOf(status) : FileStamp{};
}

void record(iniFileContext& context, FileStamp stamp)
{
  context.modTime = stamp.time;
  context.modSize = stamp.size;
}

void reload(iniFileContext& context, const std::string& path)
{
  context.sections.clear();
  record(context, {});
  context.fileName = path;
  FILE* file = fopen(path.c_str(), "rbe");
  if (!file) return;
  flock(fileno(file), LOCK_SH);
  context.sections.parse(file);
  // The stamp of what was actually read, even if the path has been replaced since.
  record(context, stampOfOpenFile(fileno(file)));
  flock(fileno(file), LOCK_UN);
  fclose(file);
}

bool refersTo(int fd, const std::string& path)
{
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

// Truncates only once the lock is held: truncating on open would wipe what a
// writer in another process is producing under its lock. If that writer has
// renamed the file away meanwhile, our lock is on its file, so start over.
int openLockedTemporary(const std::string& tempPath)
{
  for (int attempt = 0; attempt < kLockAttempts; ++attempt)
  {
    const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX) == 0 && refersTo(fd, tempPath)) return ftruncate(fd, 0) == 0 ? fd : (close(fd), -1);
    close(fd);
  }
  return -1;
}

bool writeAll(int fd, const std::string& text)
{
  size_t written = 0;
  while (written < text.size())
  {
    const ssize_t count = write(fd, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    written += static_cast<size_t>(count);
  }
  return fsync(fd) == 0;
}

// A user who made the file private keeps it private across rewrites.
void keepModeOf(const std::string& path, int fd)
{
  struct stat status;
  if (stat(path.c_str(), &status) == 0) fchmod(fd, status.st_mode & 07777);
}
} // namespace

IniFileCache& IniFileCache::processCache()
{
  static IniFileCache cache;
  return cache;
}

iniFileContext& IniFileCache::slotFor(const std::string& path)
{
  // Paths compare exactly: on this platform "A.ini" and "a.ini" are two files.
  for (iniFileContext& context : mContextCache)
    if (!context.fileName || *context.fileName == path) return context;
  return *std::min_element(mContextCache.begin(), mContextCache.end(),
                           [](const iniFileContext& a, const iniFileContext& b)
                           { return a.accessStamp < b.accessStamp; });
}

iniFileContext& IniFileCache::lookup(const std::string& path)
{
  iniFileContext& context = slotFor(path);
  context.accessStamp = ++mAccessCounter;
  const bool current = context.fileName == path && stampOfPath(path) == FileStamp{context.modTime, context.modSize};
  if (!current) reload(context, path);
  return context;
}

std::string temporaryPathFor(const std::string& path)
{
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".new";
}

void WriteBackFile(iniFileContext& context)
{
  const std::string& path = *context.fileName;
  const std::string tempPath = temporaryPathFor(path);
  const int fd = openLockedTemporary(tempPath);
  if (fd < 0) return;
  keepModeOf(path, fd);
  if (!writeAll(fd, context.sections.serialize()))
    unlink(tempPath.c_str()); // a partial file must never take the real one's place
  else if (rename(tempPath.c_str(), path.c_str()) == 0)
    record(context, stampOfOpenFile(fd)); // spares the next lookup a reread of our own write
  // Closing releases the lock only now, after the rename, so a waiting writer
  // finds its lock on a file that is gone and opens a fresh one.
  close(fd);
}
