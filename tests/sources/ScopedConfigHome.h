#pragma once
// Points HOME and XDG_CONFIG_HOME at a fresh temporary folder for as long as
// it lives, so that shells opened by tests never read or write the user's
// own configuration. Restores both variables and removes the folder after.

#include "TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// Puts one environment variable back as it was (set or unset) at scope end.
class ScopedEnv
{
public:
  explicit ScopedEnv(const char* name) : mName(name)
  {
    if (const char* value = getenv(name)) mSaved = value;
  }
  ~ScopedEnv()
  {
    if (mSaved)
      setenv(mName, mSaved->c_str(), 1);
    else
      unsetenv(mName);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  const char* mName;
  std::optional<std::string> mSaved;
};

class ScopedConfigHome
{
public:
  ScopedConfigHome()
  {
    setenv("HOME", home().c_str(), 1);
    setenv("XDG_CONFIG_HOME", xdg().c_str(), 1);
  }
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

  std::filesystem::path root() const { return mFolder.root(); }
  std::string home() const { return mFolder.path("home"); }
  std::string xdg() const { return mFolder.path("xdg"); }

private:
  ScopedEnv mSavedHome{"HOME"};
  ScopedEnv mSavedXdg{"XDG_CONFIG_HOME"};
  TemporaryFolder mFolder;
};
