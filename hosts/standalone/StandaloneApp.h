#pragma once
// The whole of tessaryn-standalone over a given component: options, the
// session manager when one runs, the audio backend, the remembered sound and
// the main loop that serves the window, the session and the instrument's
// worker duty until it is asked to quit. Runs on the main thread.

#include "AudioBackend.h"
#include "NsmClient.h"
#include "StandaloneSynth.h"
#include "StandaloneWindow.h"
#include "StateStore.h"

#include <memory>
#include <optional>
#include <ostream>

class StandaloneApp
{
public:
  StandaloneApp(Component component, std::ostream& out, std::ostream& err);

  // args: the arguments after the program name. Returns the exit code; every
  // failure has written one line to `err`.
  int run(const std::vector<std::string>& args);

private:
  RenderStatus play(StandaloneOptions options);
  RenderStatus joinSession(StandaloneOptions& options);
  RenderStatus prepare(const StandaloneOptions& options);
  RenderStatus openAudio(const StandaloneOptions& options);
  // The bank first, so the state's current program lands on the programs it was saved with.
  RenderStatus restoreState();
  RenderStatus restoreBank();
  RenderStatus saveState();
  void loop();
  void serveSession();
  void answer(const NsmRequest& request);
  void showWindow();
  void hideWindow();
  void say(const std::string& message);

  Component mComponent;
  std::ostream& mOut;
  std::ostream& mErr;
  StandaloneSynth mSynth;
  // Goes before the instrument it renders: its threads stop first.
  std::unique_ptr<AudioBackend> mBackend;
  std::optional<StateStore> mStore;
  std::unique_ptr<NsmClient> mSession;
  NsmRequest mOpening; // answered once the sound is restored
  std::unique_ptr<StandaloneWindow> mWindow;
  bool mNoGui = false;
  bool mQuit = false; // the window was closed
};
