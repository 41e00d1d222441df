#include "Lv2Ui.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2_util.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

namespace
{
// The host's scale factor option; 0 when it gives none.
double scaleFactorOf(const LV2_Options_Option* options, const LV2_URID_Map* map)
{
  if (!options || !map) return 0.0;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* option = options; option->key; ++option)
    if (option->key == key && option->type == floatType && option->size == sizeof(float))
      return *static_cast<const float*>(option->value);
  return 0.0;
}
} // namespace

std::unique_ptr<Lv2Ui> Lv2Ui::Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                     const LV2_Feature* const* features)
{
  void* instance = nullptr;
  void* parent = nullptr;
  const LV2UI_Resize* resize = nullptr;
  const LV2UI_Touch* touch = nullptr;
  const LV2_Options_Option* options = nullptr;
  const LV2_URID_Map* map = nullptr;
  lv2_features_query(features, LV2_INSTANCE_ACCESS_URI, &instance, true, LV2_UI__parent, &parent, true, LV2_UI__resize,
                     &resize, false, LV2_UI__touch, &touch, false, LV2_OPTIONS__options, &options, false, LV2_URID__map,
                     &map, false, nullptr);
  if (!instance || !parent || !write) return nullptr;
  auto& instrument = *static_cast<Lv2Instrument*>(instance);
  if (instrument.OpenEditor(reinterpret_cast<uintptr_t>(parent), scaleFactorOf(options, map)) != noErr) return nullptr;
  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(instrument, write, controller));
  ui->mTouch = touch;
  const AUX11View view = instrument.Editor();
  *widget = reinterpret_cast<LV2UI_Widget>(view.mWindow);
  if (resize) resize->ui_resize(resize->handle, view.mWidth, view.mHeight);
  return ui;
}

Lv2Ui::Lv2Ui(Lv2Instrument& instrument, LV2UI_Write_Function write, LV2UI_Controller controller)
    : mInstrument(instrument), mWrite(write), mController(controller), mGestures(instrument.ControlCount(), false)
{
  // Until the host tells us otherwise, its ports hold what the instrument has.
  mInstrument.ReadParameters(mPorts);
}

Lv2Ui::~Lv2Ui()
{
  mInstrument.CloseEditor();
}

void Lv2Ui::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
  const uint32_t id = port - Lv2Instrument::kFirstControlPort;
  if (format != 0 || size != sizeof(float) || id >= mPorts.size()) return;
  const float value = *static_cast<const float*>(buffer);
  if (value == mPorts[id]) return;
  mPorts[id] = value;
  // While a panel control is moved the host echoes values the panel has left behind.
  if (!mGestures[id]) mInstrument.SetParameter(id, value);
}

int Lv2Ui::Idle()
{
  mInstrument.IdleEditor(mEvents);
  for (const Lv2UiEvent& event : mEvents)
    deliver(event);
  // Programs, banks and learned controllers change parameters without announcing each.
  mInstrument.ReadParameters(mValues);
  for (uint32_t id = 0; id < mValues.size(); ++id)
    write(id, mValues[id]);
  return mInstrument.Editor().mWindow ? 0 : 1;
}

void Lv2Ui::deliver(const Lv2UiEvent& event)
{
  if (event.mId >= mPorts.size()) return;
  switch (event.mKind)
  {
  case Lv2UiEvent::kBegin:
    return touch(event.mId, true);
  case Lv2UiEvent::kValue:
    return write(event.mId, event.mValue);
  case Lv2UiEvent::kEnd:
    return touch(event.mId, false);
  }
}

void Lv2Ui::write(uint32_t id, float value)
{
  if (value == mPorts[id]) return;
  mPorts[id] = value;
  mInstrument.NoteUiWrite(id, value);
  mWrite(mController, Lv2Instrument::kFirstControlPort + id, sizeof value, 0, &value);
}

void Lv2Ui::touch(uint32_t id, bool grabbed)
{
  mGestures[id] = grabbed;
  if (mTouch) mTouch->touch(mTouch->handle, Lv2Instrument::kFirstControlPort + id, grabbed);
}
