#pragma once
// Records what a host model hands back to its front-end, and opens the model
// with those callbacks.

#include "HostModel.h"

#include <optional>
#include <vector>

struct HostRecorder
{
  struct Change
  {
    AudioUnitParameterID id;
    float value;
    bool operator==(const Change&) const = default;
  };
  struct Gesture
  {
    AudioUnitParameterID id;
    bool begins;
    bool operator==(const Gesture&) const = default;
  };

  // The model, opened on `component`; the result of Open.
  OSStatus OpenHost(Component component)
  {
    HostModelCallbacks callbacks;
    callbacks.mParamChanged = [this](AudioUnitParameterID id, float value) { changes.push_back({id, value}); };
    callbacks.mParamGesture = [this](AudioUnitParameterID id, bool begins) { gestures.push_back({id, begins}); };
    callbacks.mProgramChanged = [this](int32_t program) { programs.push_back(program); };
    host.emplace(callbacks);
    return host->Open(component);
  }

  std::vector<Change> changes;
  std::vector<Gesture> gestures;
  std::vector<int32_t> programs;
  std::optional<HostModel> host;
};
