#pragma once
// Where the test builds of the stand-in libMTS lie, and access to their test
// controls. The build passes the paths in.

#include <dlfcn.h>

constexpr const char* kEqualTemperamentMaster = EQUAL_TEMPERAMENT_MASTER_PATH;
constexpr const char* kNote61FilteringMaster = NOTE61_FILTERING_MASTER_PATH;
constexpr const char* kMasterlessLibrary = MASTERLESS_LIBRARY_PATH;
// A real library without a single MTS entry point.
constexpr const char* kLibraryWithoutEntryPoints = "libm.so.6";
constexpr const char* kMissingLibrary = "/nonexistent/libMTS.so";

// Looks up a control of an already loaded stand-in.
template <class Fn> Fn fakeMasterControl(const char* libraryPath, const char* name)
{
  void* handle = dlopen(libraryPath, RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  auto control = reinterpret_cast<Fn>(dlsym(handle, name));
  dlclose(handle); // the loader under test still holds the library open
  return control;
}
