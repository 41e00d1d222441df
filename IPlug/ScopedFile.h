#pragma once
// A stdio file closed when it goes out of scope.

#include <cstdio>
#include <memory>

struct FileCloser
{
  void operator()(FILE* file) const { fclose(file); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;
