#pragma once
// tessaryn-standalone run as a child process with the test's environment,
// its output kept in files of a folder for the test to read.

#include "FileContents.h"

#include <string>
#include <sys/types.h>
#include <vector>

class StandaloneProcess
{
public:
  StandaloneProcess(const std::vector<std::string>& args, const std::string& folder);
  ~StandaloneProcess(); // kills it if still running
  StandaloneProcess(const StandaloneProcess&) = delete;
  StandaloneProcess& operator=(const StandaloneProcess&) = delete;

  // True once stdout holds `text`; false if it exits or time runs out first.
  bool waitForOutput(const std::string& text);
  std::string output() const { return readFile(mOutPath); }
  std::string errors() const { return readFile(mErrPath); }
  // SIGTERM, then its exit status (-1 if it did not exit normally).
  int quit();
  // Waits for it to exit by itself.
  int exitCode();

private:
  bool reap(int options); // true once it has exited
  pid_t mPid = -1;
  int mExitCode = -1;
  std::string mOutPath;
  std::string mErrPath;
};
