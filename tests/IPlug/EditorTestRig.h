#pragma once
// A plug-in with a cutoff knob parameter and a waveform menu parameter, its
// headless editor attached, and a control that records what reaches it.

#include "IControl.h"
#include "TestGraphics.h"
#include "TestPlug.h"

#include <string>
#include <vector>

struct EditorPlug : TestPlug
{
  enum
  {
    kCutoff,
    kWave,
    kGain
  };

  EditorPlug() : TestPlug(3)
  {
    GetParam(kCutoff)->InitDouble("Cutoff", 20.0, 0.0, 100.0, 1.0, "Hz");
    GetParam(kWave)->InitEnum("Wave", 1, 3);
    GetParam(kWave)->SetDisplayText(0, "Saw");
    GetParam(kWave)->SetDisplayText(1, "Square");
    GetParam(kWave)->SetDisplayText(2, "Sine");
    GetParam(kGain)->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1);
    GetParam(kGain)->NegateDisplay();
  }
  void BeginInformHostOfParamChange(int idx) override { mGestures.push_back("begin " + std::to_string(idx)); }
  void EndInformHostOfParamChange(int idx) override { mGestures.push_back("end " + std::to_string(idx)); }
  void OnIdle() override { ++mIdles; }

  std::vector<std::string> mGestures;
  int mIdles = 0;
};

struct ProbeControl : IControl
{
  ProbeControl(IPlugBase* plug, const IRECT& rect, int paramIdx = -1) : IControl(plug, rect, paramIdx) {}

  bool Draw(IGraphics*) override
  {
    ++mDraws;
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod* mod) override
  {
    record("down", x, y);
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(int x, int y, IMouseMod*) override { record("up", x, y); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override { record("drag", dX, dY); }
  void OnMouseDblClick(int x, int y, IMouseMod*) override { record("dbl", x, y); }
  void OnMouseOver(int x, int y, IMouseMod*) override { record("over", x, y); }
  void OnMouseOut() override { mEvents.push_back("out"); }
  bool OnKeyDown(int, int, int key) override
  {
    record("key", key, 0);
    return mTakesKeys;
  }
  void record(const char* what, int a, int b)
  {
    mEvents.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b));
  }

  std::vector<std::string> mEvents;
  int mDraws = 0;
  bool mTakesKeys = true;
};

struct EditorRig
{
  explicit EditorRig(const std::string& resources = "") : gui(new TestGraphics(&plug, 100, 60, 0, resources)) {}
  void attach() { plug.AttachGraphics(gui); }
  ProbeControl* add(const IRECT& rect, int paramIdx = -1)
  {
    auto* control = new ProbeControl(&plug, rect, paramIdx);
    gui->AttachControl(control);
    return control;
  }

  EditorPlug plug;
  TestGraphics* gui; // owned by the plug-in once attached
  IMouseMod left{true};
};
