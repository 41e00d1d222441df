#include "RenderCommand.h"

#include "DemoSong.h"
#include "SongRenderer.h"

#include <iomanip>

namespace
{
const char* formatName(SampleFormat format)
{
  switch (format)
  {
  case SampleFormat::kPcm16:
    return "16-bit PCM";
  case SampleFormat::kPcm24:
    return "24-bit PCM";
  case SampleFormat::kFloat:
    break;
  }
  return "32-bit float";
}

RenderStatus loadSong(const RenderOptions& options, MidiSong& song)
{
  if (options.mMidiFile.empty())
    song = demoSong();
  else if (RenderStatus status = readMidiFile(options.mMidiFile, song); !status.ok())
    return status;
  if (options.mTempo) song.overrideTempo(*options.mTempo);
  return {};
}

void reportWritten(const RenderOptions& options, uint64_t frames, std::ostream& out)
{
  out << "Wrote " << options.mOutput << ": " << std::fixed << std::setprecision(1)
      << double(frames) / options.mSampleRate << " s, " << options.mSampleRate << " Hz, "
      << (options.mMono ? "mono" : "stereo") << ", " << formatName(options.mFormat) << ".\n";
}

RenderStatus renderToFile(SongRenderer& renderer, const MidiSong& song, const RenderOptions& options,
                          RenderConsole& console)
{
  WavFile output;
  const uint32_t channels = options.mMono ? 1 : SongRenderer::kInstrumentChannels;
  RenderStatus status = output.create(options.mOutput, options.mSampleRate, channels, options.mFormat);
  ProgressBar progress(console.mErr, console.mErrIsTerminal && !options.mQuiet);
  if (status.ok()) status = renderer.render(song, options, output, progress);
  if (status.ok()) status = output.commit();
  progress.finish();
  if (status.ok() && !options.mQuiet) reportWritten(options, renderer.renderedFrames(), console.mOut);
  return status;
}

RenderStatus run(Component component, const std::vector<std::string>& args, RenderConsole& console)
{
  RenderOptions options;
  RenderStatus status = parseRenderOptions(args, options);
  if (!status.ok()) return status;
  if (options.mHelp)
  {
    console.mOut << renderUsage();
    return {};
  }
  MidiSong song;
  if (!options.mListParams && !options.mListPrograms && !(status = loadSong(options, song)).ok()) return status;

  SongRenderer renderer;
  // Listings show the bank, program and settings given with them.
  if (!(status = renderer.open(component, options)).ok() || !(status = renderer.applyOptions(options)).ok())
    return status;
  if (options.mListParams) renderer.listParameters(console.mOut);
  if (options.mListPrograms) renderer.listPrograms(console.mOut);
  if (options.mListParams || options.mListPrograms) return {};
  return renderToFile(renderer, song, options, console);
}
} // namespace

int runRenderCommand(Component component, const std::vector<std::string>& args, RenderConsole& console)
{
  const RenderStatus status = run(component, args, console);
  if (!status.ok()) console.mErr << "tessaryn-render: " << status.mMessage << "\n";
  return status.mExitCode;
}
