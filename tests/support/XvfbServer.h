#pragma once
// A private virtual X server for tests that open real windows. It picks a free
// display number itself (-displayfd), so parallel test processes never share
// one, and points DISPLAY at it for the life of the object.
#include <string>
#include <sys/types.h>

class XvfbServer
{
public:
  // width × height × 24 bits, with the XTEST and MIT-SHM extensions.
  explicit XvfbServer(int width = 1600, int height = 1000);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool Running() const { return mPid > 0 && !mDisplayName.empty(); }
  // ":N", already exported as DISPLAY.
  const std::string& DisplayName() const { return mDisplayName; }

private:
  pid_t mPid = -1;
  std::string mDisplayName;
};
