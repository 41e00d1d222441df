#pragma once
// The process-wide cache of parsed INI files. A file is parsed once and then
// served from memory for as long as its size and modification time stay what
// this process last saw; every change (or batch of changes) replaces the
// whole file atomically, so no reader ever meets a half-written one.

#include "Containers.h"
#include "swell-ini-sections.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct iniFileContext
{
  uint64_t accessStamp = 0;
  int64_t modTime = 0;  // whole seconds; 0 while the file did not exist
  uint32_t modSize = 0; // lower 32 bits of the size
  std::optional<std::string> fileName;
  IniSections sections;
};

class IniFileCache
{
public:
  static constexpr int kSlotCount = 32;

  // Shared by every plug-in instance in the process.
  static IniFileCache& processCache();

  // Held by every operation for its whole length, file input and output
  // included, so the caches of all instances and threads stay one.
  WDL_Mutex& mutex() { return mMutex; }

  // The cached contents of the file at `path`, read again when the file
  // changed since this process last saw it. Caller holds mutex().
  iniFileContext& lookup(const std::string& path);

  // Writes the context's contents over its file; false, the file as it was
  // and the change in memory only, when that fails. While a batch is open for
  // the file, the write waits for the batch's end. Caller holds mutex().
  bool writeBack(iniFileContext& context);
  // One batch at a time, begun and ended under one hold of mutex().
  void beginBatch(const std::string& path);
  bool endBatch();

private:
  iniFileContext& slotFor(const std::string& path);

  std::array<iniFileContext, kSlotCount> mContextCache;
  uint64_t mAccessCounter = 0;
  std::optional<std::string> mBatchPath;
  iniFileContext* mBatchContext = nullptr; // the batch's file, once changed
  WDL_Mutex mMutex;
};
