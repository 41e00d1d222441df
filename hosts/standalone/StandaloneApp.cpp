#include "StandaloneApp.h"

#include "AlsaBackend.h"
#include "JackBackend.h"
#include "QuitSignal.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace
{
constexpr int kTickMilliseconds = 10;
constexpr const char* kSessionExtension = ".tessaryn";
constexpr const char* kExecutable = "tessaryn-standalone";
} // namespace

StandaloneApp::StandaloneApp(Component component, std::ostream& out, std::ostream& err)
    : mComponent(component), mOut(out), mErr(err)
{
}

int StandaloneApp::run(const std::vector<std::string>& args)
{
  StandaloneOptions options;
  RenderStatus status = parseStandaloneOptions(args, options);
  if (status.ok() && options.mHelp)
    mOut << standaloneUsage();
  else if (status.ok())
    status = play(options);
  if (!status.ok()) say(status.mMessage);
  return status.mExitCode;
}

RenderStatus StandaloneApp::play(StandaloneOptions options)
{
  QuitSignal::install();
  RenderStatus status = getenv("NSM_URL") ? joinSession(options) : RenderStatus{};
  if (!status.ok() || QuitSignal::requested()) return status;
  if (!mStore) mStore.emplace(options.mStateFile.empty() ? StateStore::defaultPath() : options.mStateFile);
  status = prepare(options);
  if (mSession) mSession->reply(mOpening, status.mMessage);
  if (!status.ok()) return status;
  if (!(status = mBackend->start(mSynth, options)).ok()) return status;
  mOut << "Tessaryn plays through " << mBackend->description() << " at " << mBackend->sampleRate() << " Hz, "
       << mBackend->bufferFrames() << " frames a block, program " << mSynth.currentProgram() << "." << std::endl;
  mNoGui = options.mNoGui;
  showWindow();
  loop();
  mWindow.reset();
  mBackend->stop();
  // Under a session manager the sound is saved only when the session is.
  return mSession ? RenderStatus{} : saveState();
}

RenderStatus StandaloneApp::prepare(const StandaloneOptions& options)
{
  RenderStatus status = openAudio(options);
  if (status.ok()) status = mSynth.open(mComponent, mBackend->sampleRate(), mBackend->bufferFrames());
  if (status.ok()) status = restoreState();
  if (status.ok() && !options.mProgram.empty()) status = mSynth.selectProgram(options.mProgram);
  if (status.ok() && options.mDemo) mSynth.playDemo(mBackend->sampleRate());
  return status;
}

// The manager names the client and the file before anything else opens.
RenderStatus StandaloneApp::joinSession(StandaloneOptions& options)
{
  mSession = std::make_unique<NsmClient>();
  if (!mSession->announce(getenv("NSM_URL"), kExecutable))
    return RenderStatus::failure(kExitUsage, "NSM_URL does not name a session manager it can reach; unset it to "
                                             "play without one.");
  while (!QuitSignal::requested())
    if (mSession->next(mOpening, kTickMilliseconds) && mOpening.mKind == NsmRequest::kOpen) break;
  mStore.emplace(mOpening.mPath + kSessionExtension);
  options.mClientName = mOpening.mClientId;
  return {};
}

RenderStatus StandaloneApp::openAudio(const StandaloneOptions& options)
{
  if (options.mBackend != AudioBackendChoice::kAlsa)
  {
    mBackend = std::make_unique<JackBackend>();
    RenderStatus status = mBackend->open(options);
    if (status.ok() || options.mBackend == AudioBackendChoice::kJack) return status;
  }
  mBackend = std::make_unique<AlsaBackend>();
  return mBackend->open(options);
}

RenderStatus StandaloneApp::restoreState()
{
  if (RenderStatus status = restoreBank(); !status.ok()) return status;
  std::vector<uint8_t> bytes;
  std::string error;
  switch (mStore->read(bytes, error))
  {
  case StateStore::Read::kMissing:
    return mSession ? saveState() : RenderStatus{};
  case StateStore::Read::kUnreadable:
    return RenderStatus::failure(kExitState, error);
  case StateStore::Read::kRead:
    break;
  }
  if (!mSynth.loadState(bytes)) say(mStore->setAside());
  return {};
}

RenderStatus StandaloneApp::restoreBank()
{
  std::string error;
  switch (mStore->findBank(error))
  {
  case StateStore::Read::kMissing:
    return {};
  case StateStore::Read::kUnreadable:
    return RenderStatus::failure(kExitState, error);
  case StateStore::Read::kRead:
    break;
  }
  if (!mSynth.loadBank(mStore->bankPath())) say(mStore->setAsideBank());
  return {};
}

RenderStatus StandaloneApp::saveState()
{
  std::vector<uint8_t> bytes;
  std::string error;
  if (!mSynth.saveState(bytes))
    return RenderStatus::failure(kExitInstrument, "the instrument did not give its state; the sound was not saved.");
  if (!mStore->save(bytes, error)) return RenderStatus::failure(kExitState, error);
  if (!mSynth.saveBank(mStore->bankPath()))
    return RenderStatus::failure(kExitState, "cannot save the programs to '" + mStore->bankPath() + "'.");
  return {};
}

void StandaloneApp::loop()
{
  while (!QuitSignal::requested() && !mBackend->lost() && !mQuit)
  {
    mSynth.performPendingWork();
    // Under a session manager closing the window only hides it.
    if (mWindow && !mWindow->serve())
    {
      if (mSession)
        hideWindow();
      else
        mQuit = true;
    }
    if (mSession)
      serveSession();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(kTickMilliseconds));
  }
  if (mBackend->lost()) say("the audio server or device went away; it quits.");
}

void StandaloneApp::serveSession()
{
  for (NsmRequest request; mSession->next(request, kTickMilliseconds);)
    answer(request);
}

void StandaloneApp::answer(const NsmRequest& request)
{
  switch (request.mKind)
  {
  case NsmRequest::kOpen:
  {
    // A switch to another session: its file from now on, with its sound.
    mStore.emplace(request.mPath + kSessionExtension);
    const RenderStatus status = restoreState();
    mSession->reply(request, status.mMessage);
    return;
  }
  case NsmRequest::kSave:
    mSession->reply(request, saveState().mMessage);
    return;
  case NsmRequest::kShowGui:
    if (!mWindow) showWindow();
    return;
  case NsmRequest::kHideGui:
    hideWindow();
    return;
  }
}

void StandaloneApp::showWindow()
{
  if (!mNoGui)
  {
    auto window = std::make_unique<StandaloneWindow>(mSynth.host(), mSynth.keyboardQueue());
    if (window->open())
      mWindow = std::move(window);
    else
      say(window->error());
  }
  if (mSession) mSession->reportGui(mWindow != nullptr);
}

void StandaloneApp::hideWindow()
{
  mWindow.reset();
  if (mSession) mSession->reportGui(false);
}

void StandaloneApp::say(const std::string& message)
{
  mErr << kExecutable << ": " << message << std::endl;
}
