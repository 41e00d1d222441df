#include "AUViewFactory.h"

#include <map>
#include <mutex>
#include <string>

namespace
{
struct FactoryClasses
{
  std::mutex mLock;
  std::map<std::string, AUViewFactoryMaker, std::less<>> mMakers;
};

FactoryClasses& factoryClasses()
{
  static FactoryClasses classes;
  return classes;
}
} // namespace

void RegisterViewFactoryClass(const char* className, AUViewFactoryMaker maker)
{
  FactoryClasses& classes = factoryClasses();
  std::lock_guard lock(classes.mLock);
  classes.mMakers[className] = maker;
}

std::unique_ptr<AUViewFactory> MakeViewFactory(const char* className)
{
  FactoryClasses& classes = factoryClasses();
  AUViewFactoryMaker maker = nullptr;
  {
    std::lock_guard lock(classes.mLock);
    const auto found = classes.mMakers.find(std::string_view(className ? className : ""));
    if (found != classes.mMakers.end()) maker = found->second;
  }
  return maker ? maker() : nullptr;
}
