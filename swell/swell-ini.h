#pragma once

#include "Containers.h"
// Per-user settings files in INI syntax, with the calling conventions of the
// Win32 profile functions. Section names and keys compare case-insensitively
// (ASCII). Nothing is reported to the caller: an unreadable file reads as
// empty, and a change that cannot be written stays in memory for this process.
//
// Threads: any thread but the audio thread. Every call takes the store's
// process-wide lock and may read or rewrite the file while holding it.
// Reading never throws (an allocation failure ends parsing early); a write
// whose change cannot be allocated throws std::bad_alloc, leaving the file as
// it was, so the configuration code can tell the user.

// Copies the value of `key` in `section` (stripped of surrounding blanks and
// of one pair of matching quotes) or else `defaultValue` into `out`, cut to
// `size` - 1 characters and zero-terminated. Returns the length copied; 0 when
// `out` is null or `size` is below 1, and then nothing is written.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                            const char* file);

// Stores `value` and rewrites the file unless it already holds exactly that
// value. A null `value` removes the key, a null `key` the whole section.
// Returns false, changing nothing, when `section` or `file` is null or empty,
// `key` is empty, or the text could not be read back as written (a section
// name with "]" or a line break, a key with "=" or a line break or starting
// with "[" or a blank, a value with a line break).
bool WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);

// Replaces the keys of `section` with the "key=value" entries of `keys`, each
// zero-terminated, the list ended by an empty entry. With an empty list an
// existing section is emptied (its header stays) and a missing one is not
// created. Returns false when `section` is null, `file` is null or empty, or
// entries are given for a section name that cannot be written.
bool WritePrivateProfileSection(const char* section, const char* keys, const char* file);

// Several changes to one file written as one: while a batch lives, the calls
// above change `file` in memory only, and end() (or the destructor) writes it
// once. It holds the store's lock throughout, so other threads wait for it
// and no reader sees part of the changes. Batches do not nest.
class IniWriteBatch
{
public:
  explicit IniWriteBatch(const char* file);
  ~IniWriteBatch();
  IniWriteBatch(const IniWriteBatch&) = delete;
  IniWriteBatch& operator=(const IniWriteBatch&) = delete;

  // False when the file could not be written; it then stays as it was.
  bool end();

private:
  WDL_MutexLock mLock;
  bool mEnded = false;
};
