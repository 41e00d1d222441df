#include "ComponentManager.h"

#include "CFObject.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

struct AUEventListenerRecord
{
  std::atomic<AUEventSubscriberProc> mProc{nullptr};
  std::atomic<void*> mUserData{nullptr};
  // Claimed under the registry lock; freed only after the last notification
  // that could still see the old procedure has ended, so a new subscriber's
  // user data never reaches the old procedure.
  std::atomic<bool> mInUse{false};
  ComponentInstanceRecord* mOwner = nullptr;
};

struct ComponentInstanceRecord
{
  explicit ComponentInstanceRecord(Component component) : mComponent(component)
  {
    for (AUEventListenerRecord& subscriber : mSubscribers)
      subscriber.mOwner = this;
  }

  const Component mComponent;
  std::atomic<void*> mStorage{nullptr};
  AUEventListenerRecord mSubscribers[kMaxEventSubscribers];
  // Notifications running right now; unsubscribing waits for them to end.
  std::atomic<int> mNotifying{0};
};

class CFBundleObject final : public CFObject
{
public:
  CFBundleObject(const std::string& identifier, std::string resourcePath)
      : CFObject(kCFKindBundle, true),
        mIdentifier(CFStringCreateWithCString(kCFAllocatorDefault, identifier.c_str(), kCFStringEncodingUTF8)),
        mResourcePath(std::move(resourcePath))
  {
  }
  ~CFBundleObject() override { CFRelease(mIdentifier); }
  std::string Describe() const override { return "bundle " + std::string(CFStringGetCStringPtr(mIdentifier, 0)); }

  const CFStringRef mIdentifier;
  const std::string mResourcePath;
};

namespace
{
// Everything registered lives as long as the process, so handles and borrowed
// bundles never dangle; the registry itself is never destroyed for the same reason.
struct Registry
{
  std::mutex mLock;
  std::deque<ComponentRecord> mComponents;
  std::deque<CFBundleObject> mBundles;
  std::set<ComponentInstance> mInstances;
};

Registry& registry()
{
  static auto* instance = new Registry;
  return *instance;
}

bool isOpen(Registry& reg, ComponentInstance instance)
{
  return reg.mInstances.count(instance) > 0;
}

bool matches(const ComponentDescription& have, const ComponentDescription& looking)
{
  auto fits = [](OSType value, OSType wanted) { return wanted == 0 || value == wanted; };
  return fits(have.componentType, looking.componentType) && fits(have.componentSubType, looking.componentSubType) &&
         fits(have.componentManufacturer, looking.componentManufacturer);
}

void endSubscription(AUEventListenerRecord& subscriber)
{
  subscriber.mProc.store(nullptr);
  while (subscriber.mOwner->mNotifying.load() > 0)
    std::this_thread::yield();
  subscriber.mInUse.store(false);
}

CFBundleObject* findBundle(Registry& reg, const std::string& identifier)
{
  // The latest registration wins; earlier ones stay valid for their holders.
  auto it = std::find_if(reg.mBundles.rbegin(), reg.mBundles.rend(),
                         [&](const CFBundleObject& bundle)
                         { return identifier == CFStringGetCStringPtr(bundle.mIdentifier, 0); });
  return it == reg.mBundles.rend() ? nullptr : &*it;
}

std::string executableFolder()
{
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.parent_path().string();
}
} // namespace

Component RegisterComponent(const ComponentDescription& description, const char* name, ComponentRoutineProcPtr entry,
                            const char* bundleIdentifier, const char* resourcePath)
{
  if (!entry) return nullptr;
  std::string identifier = bundleIdentifier ? bundleIdentifier : "";
  std::string folder = resourcePath ? resourcePath : "";
  if (!identifier.empty()) RegisterBundle(identifier.c_str(), folder.c_str());
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  return &reg.mComponents.emplace_back(ComponentRecord{description, name ? name : "", entry, identifier, folder});
}

Component FindNextComponent(Component previous, const ComponentDescription& looking)
{
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  auto it = reg.mComponents.begin();
  if (previous)
  {
    it = std::find_if(reg.mComponents.begin(), reg.mComponents.end(),
                      [&](const ComponentRecord& component) { return &component == previous; });
    if (it != reg.mComponents.end()) ++it;
  }
  it = std::find_if(it, reg.mComponents.end(),
                    [&](const ComponentRecord& component) { return matches(component.mDescription, looking); });
  return it == reg.mComponents.end() ? nullptr : &*it;
}

OSStatus OpenAComponent(Component component, ComponentInstance* outInstance)
{
  if (!component || !outInstance) return badComponentInstance;
  auto instance = std::make_unique<ComponentInstanceRecord>(component);
  {
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mLock);
    reg.mInstances.insert(instance.get());
  }
  OSStatus result = CallComponentSelector(instance.get(), kComponentOpenSelect);
  if (result != noErr)
  {
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mLock);
    reg.mInstances.erase(instance.get());
    return result;
  }
  *outInstance = instance.release();
  return noErr;
}

OSStatus CloseComponent(ComponentInstance instance)
{
  Registry& reg = registry();
  {
    std::lock_guard<std::mutex> guard(reg.mLock);
    if (!isOpen(reg, instance)) return badComponentInstance;
    reg.mInstances.erase(instance);
  }
  for (AUEventListenerRecord& subscriber : instance->mSubscribers)
    endSubscription(subscriber);
  OSStatus result = CallComponentSelector(instance, kComponentCloseSelect);
  delete instance;
  return result;
}

void SetComponentInstanceStorage(ComponentInstance instance, void* storage)
{
  if (instance) instance->mStorage.store(storage, std::memory_order_release);
}

void* GetComponentInstanceStorage(ComponentInstance instance)
{
  return instance ? instance->mStorage.load(std::memory_order_acquire) : nullptr;
}

OSStatus GetComponentInfo(ComponentInstance instance, ComponentDescription* outDescription)
{
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  if (!isOpen(reg, instance) || !outDescription) return badComponentInstance;
  *outDescription = instance->mComponent->mDescription;
  return noErr;
}

ComponentResult CallComponent(ComponentInstance instance, ComponentParameters& params)
{
  if (!instance) return badComponentInstance;
  return instance->mComponent->mEntry(&params, GetComponentInstanceStorage(instance));
}

AUEventListenerRef AUEventListenerSubscribe(AudioUnit unit, AUEventSubscriberProc proc, void* userData)
{
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  if (!proc || !isOpen(reg, unit)) return nullptr;
  for (AUEventListenerRecord& subscriber : unit->mSubscribers)
    if (!subscriber.mInUse.load())
    {
      subscriber.mInUse.store(true);
      subscriber.mUserData.store(userData);
      subscriber.mProc.store(proc);
      return &subscriber;
    }
  return nullptr;
}

void AUEventListenerUnsubscribe(AUEventListenerRef listener)
{
  // No registry lock while waiting: a running subscriber may need it.
  if (listener) endSubscription(*listener);
}

OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject, const AudioUnitEvent* event)
{
  if (!event || !event->mArgument.mParameter.mAudioUnit) return badComponentInstance;
  ComponentInstanceRecord& instance = *event->mArgument.mParameter.mAudioUnit;
  // Sequentially consistent with endSubscription: either it sees this
  // notification running, or this notification sees the cleared procedure.
  instance.mNotifying.fetch_add(1);
  for (AUEventListenerRecord& subscriber : instance.mSubscribers)
  {
    AUEventSubscriberProc proc = subscriber.mProc.load();
    if (proc && &subscriber != sendingListener) proc(subscriber.mUserData.load(), sendingObject, event);
  }
  instance.mNotifying.fetch_sub(1);
  return noErr;
}

CFTypeID CFBundleGetTypeID()
{
  return kCFKindBundle;
}

void RegisterBundle(const char* identifier, const char* resourcePath)
{
  if (!identifier) return;
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  std::string folder = resourcePath ? resourcePath : "";
  CFBundleObject* known = findBundle(reg, identifier);
  if (!known || known->mResourcePath != folder) reg.mBundles.emplace_back(identifier, folder);
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef identifier)
{
  if (!identifier) return nullptr;
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  return findBundle(reg, CFStringGetCStringPtr(identifier, kCFStringEncodingUTF8));
}

CFBundleRef CFBundleGetMainBundle()
{
  static CFBundleRef mainBundle = []
  {
    std::string identifier = GetHostProcessIdentifier();
    RegisterBundle(identifier.c_str(), executableFolder().c_str());
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mLock);
    return findBundle(reg, identifier);
  }();
  return mainBundle;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
  return bundle ? bundle->mIdentifier : nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
  if (!bundle) return nullptr;
  CFStringRef path =
      CFStringCreateWithCString(kCFAllocatorDefault, bundle->mResourcePath.c_str(), kCFStringEncodingUTF8);
  CFURLRef url = CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path, kCFURLPOSIXPathStyle, true);
  CFRelease(path);
  return url;
}

std::string GetBundleResourcePath(const char* identifier)
{
  if (!identifier) return {};
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mLock);
  CFBundleObject* bundle = findBundle(reg, identifier);
  return bundle ? bundle->mResourcePath : std::string();
}

std::string GetHostProcessIdentifier()
{
  return program_invocation_short_name;
}

int32_t GetOperatingSystemVersion()
{
  // The highest the classic form can express (10.9).
  return 0x1090;
}
