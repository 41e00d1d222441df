#pragma once
// Plays a song through the host model: opens the component at the render's
// rate and block size, applies the program, file and parameter options, and
// renders block by block into the output file. Control thread throughout;
// the render loop allocates nothing once started.

#include "HostModel.h"
#include "MidiSong.h"
#include "ProgressBar.h"
#include "RenderOptions.h"
#include "WavFile.h"

#include <ostream>
#include <vector>

class SongRenderer
{
public:
  static constexpr uint32_t kInstrumentChannels = 2;

  // Opens and initialises an instance of `component` for the options' rate and block size.
  RenderStatus open(Component component, const RenderOptions& options);

  // Bank, program, program file, then each --set in command-line order.
  RenderStatus applyOptions(const RenderOptions& options);

  void listParameters(std::ostream& out) const;
  void listPrograms(std::ostream& out) const;

  // Renders the whole song, its length set by --frames, --tail or the fade-out.
  RenderStatus render(const MidiSong& song, const RenderOptions& options, WavFile& output, ProgressBar& progress);
  uint64_t renderedFrames() const { return mRenderedFrames; }

  HostModel& host() { return mHost; }
  const HostModel& host() const { return mHost; }

private:
  RenderStatus loadFile(const std::string& path, const char* kind, OSStatus (HostModel::*load)(const char*));
  RenderStatus selectProgram(const std::string& program);
  RenderStatus applySetting(const ParameterSetting& setting);
  RenderStatus settingValue(AudioUnitParameterID id, const ParameterSetting& setting, float& value) const;
  bool findParameter(const std::string& name, AudioUnitParameterID& id) const;
  RenderStatus sendEventsBefore(const std::vector<TimedEvent>& events, size_t& next, uint64_t start, uint32_t frames);
  RenderStatus writeFrames(WavFile& output, uint32_t frames, bool mono);

  HostModel mHost;
  std::vector<float> mLeft;
  std::vector<float> mRight;
  std::vector<float> mInterleaved;
  uint64_t mRenderedFrames = 0;
};
