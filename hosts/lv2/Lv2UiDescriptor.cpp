// The library's UI descriptor, for bundles whose instrument has an editor:
// its callbacks forward to Lv2Ui.

#include "Lv2Binding.h"
#include "Lv2Ui.h"

namespace
{
Lv2Ui* uiOf(LV2UI_Handle handle)
{
  return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
  return Lv2Ui::Create(write, controller, widget, features).release();
}

void cleanup(LV2UI_Handle handle)
{
  delete uiOf(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
  uiOf(handle)->PortEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle)
{
  return uiOf(handle)->Idle();
}

const void* extensionData(const char* uri)
{
  static const LV2UI_Idle_Interface idleInterface = {idle};
  return std::string_view(uri) == LV2_UI__idleInterface ? &idleInterface : nullptr;
}
} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  static const std::string uri = Lv2BindingOf().UiUri();
  static const LV2UI_Descriptor descriptor = {uri.c_str(), instantiate, cleanup, portEvent, extensionData};
  return index == 0 && Lv2BindingOf().mHasUi ? &descriptor : nullptr;
}
