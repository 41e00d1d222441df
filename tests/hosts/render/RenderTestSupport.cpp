#include "RenderTestSupport.h"

#include "StepInstrument.h"

#include <smf.h>
#include <sndfile.h>

#include <cmath>

std::vector<uint8_t> tempoEvent(double tempo)
{
  const int microseconds = int(std::lround(60e6 / tempo));
  return {0xFF, 0x51, 0x03, uint8_t(microseconds >> 16), uint8_t(microseconds >> 8), uint8_t(microseconds)};
}

void writeMidiFile(const std::string& path, int ppqn, double tempo, const std::vector<MidiFileEvent>& events)
{
  smf_t* smf = smf_new();
  if (smf_set_ppqn(smf, ppqn) != 0) std::abort();
  smf_track_t* track = smf_track_new();
  smf_add_track(smf, track);
  std::vector<MidiFileEvent> all = {{0, tempoEvent(tempo)}};
  all.insert(all.end(), events.begin(), events.end());
  for (MidiFileEvent& event : all)
    smf_track_add_event_pulses(track, smf_event_new_from_pointer(event.mBytes.data(), int(event.mBytes.size())),
                               event.mPulses);
  if (smf_save(smf, path.c_str()) != 0) std::abort();
  smf_delete(smf);
}

WavContents readWav(const std::string& path)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  WavContents contents;
  if (!file) return contents;
  contents.mSampleRate = info.samplerate;
  contents.mChannels = info.channels;
  contents.mFormat = info.format;
  contents.mSamples.resize(size_t(info.frames * info.channels));
  sf_readf_float(file, contents.mSamples.data(), info.frames);
  sf_close(file);
  return contents;
}

CommandResult runCommand(Component component, const std::vector<std::string>& args)
{
  std::ostringstream out, err;
  RenderConsole console{out, err, false};
  CommandResult result;
  result.mExitCode = runRenderCommand(component, args, console);
  result.mOut = out.str();
  result.mErr = err.str();
  return result;
}

WavContents StepRenderTest::render(std::vector<std::string> options)
{
  options.insert(options.end(), {song, "-o", out, "--rate", std::to_string(kStepRate)});
  const CommandResult result = runCommand(StepInstrumentComponent(), options);
  EXPECT_EQ(result.mExitCode, 0) << result.mErr;
  return readWav(out);
}
