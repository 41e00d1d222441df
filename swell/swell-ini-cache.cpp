#include "swell-ini-cache.h"

#include "AtomicFile.h"
#include "ScopedFile.h"

#include <algorithm>
#include <sys/file.h>
#include <sys/stat.h>

namespace
{
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
  ScopedFile file(fopen(path.c_str(), "rbe"));
  if (!file) return;
  flock(fileno(file.get()), LOCK_SH);
  context.sections.parse(file.get());
  // The stamp of what was actually read, even if the path has been replaced since.
  record(context, stampOfOpenFile(fileno(file.get())));
  flock(fileno(file.get()), LOCK_UN);
}

// Writes the context's contents over its file. On failure the file stays as
// it was and the change lives on in memory only.
bool writeBackFile(iniFileContext& context)
{
  AtomicFile file;
  const std::string text = context.sections.serialize();
  if (!file.open(*context.fileName) || !file.write(text.data(), text.size())) return false;
  // The stamp of our own write spares the next lookup a reread of it.
  struct stat status;
  const bool stamped = fstat(file.descriptor(), &status) == 0;
  if (!file.commit()) return false;
  record(context, stamped ? stampOf(status) : FileStamp{});
  return true;
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

bool IniFileCache::writeBack(iniFileContext& context)
{
  if (mBatchPath && *mBatchPath == *context.fileName)
  {
    mBatchContext = &context;
    return true;
  }
  return writeBackFile(context);
}

void IniFileCache::beginBatch(const std::string& path)
{
  mBatchPath = path;
  mBatchContext = nullptr;
}

bool IniFileCache::endBatch()
{
  iniFileContext* pending = mBatchContext;
  mBatchContext = nullptr;
  mBatchPath.reset();
  return !pending || writeBackFile(*pending);
}
