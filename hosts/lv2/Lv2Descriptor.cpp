// The library's one exported symbol: the LV2 descriptor of the bundle's
// binding, whose callbacks forward to Lv2Instrument.

#include "Lv2Binding.h"
#include "Lv2Instrument.h"

namespace
{
Lv2Instrument* instanceOf(LV2_Handle handle)
{
  return static_cast<Lv2Instrument*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char* bundlePath,
                       const LV2_Feature* const* features)
{
  const Lv2Binding& binding = Lv2BindingOf();
  return Lv2Instrument::Create(binding.mRegister(bundlePath), sampleRate, binding.StateUri(), features).release();
}

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
  instanceOf(handle)->ConnectPort(port, data);
}

void activate(LV2_Handle handle)
{
  instanceOf(handle)->Activate();
}

void run(LV2_Handle handle, uint32_t frames)
{
  instanceOf(handle)->Run(frames);
}

void cleanup(LV2_Handle handle)
{
  delete instanceOf(handle);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*)
{
  return instanceOf(handle)->Save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*)
{
  return instanceOf(handle)->Restore(retrieve, state);
}

uint32_t getOptions(LV2_Handle handle, LV2_Options_Option* options)
{
  return instanceOf(handle)->GetOptions(options);
}

uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options)
{
  return instanceOf(handle)->SetOptions(options);
}

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t size,
                       const void* data)
{
  return instanceOf(handle)->Work(size, data);
}

// Work never responds.
LV2_Worker_Status workResponse(LV2_Handle, uint32_t, const void*)
{
  return LV2_WORKER_SUCCESS;
}

const void* extensionData(const char* uri)
{
  static const LV2_State_Interface state = {save, restore};
  static const LV2_Options_Interface options = {getOptions, setOptions};
  static const LV2_Worker_Interface worker = {work, workResponse, nullptr};
  const std::string_view requested(uri);
  if (requested == LV2_STATE__interface) return &state;
  if (requested == LV2_OPTIONS__interface) return &options;
  if (requested == LV2_WORKER__interface) return &worker;
  return nullptr;
}
} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  static const LV2_Descriptor descriptor = {
      Lv2BindingOf().mUri, instantiate, connectPort, activate, run, nullptr, cleanup, extensionData};
  return index == 0 ? &descriptor : nullptr;
}
