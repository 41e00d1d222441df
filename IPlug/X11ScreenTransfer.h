#pragma once
// Copies areas of the editor's off-screen image (32-bit xRGB, the layout of a
// cairo ARGB32 surface) to its window: through a shared-memory image when the
// server offers MIT-SHM, else through the connection. Editor UI thread only.

#include "X11Connection.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

class X11ScreenTransfer
{
public:
  // width × height device pixels, the window's size. Small windows that
  // change rarely do without shared memory.
  X11ScreenTransfer(X11Connection& connection, Window window, int width, int height, bool sharedMemory = true);
  ~X11ScreenTransfer();
  X11ScreenTransfer(const X11ScreenTransfer&) = delete;
  X11ScreenTransfer& operator=(const X11ScreenTransfer&) = delete;

  // The image must stay valid until the next Show() or until OnTransferDone()
  // has sent what was waiting: while the server still reads the shared image,
  // further areas are merged and sent when it is done.
  void Show(const uint8_t* pixels, int stride, X11Area area);
  void OnTransferDone();
  bool UsesSharedMemory() const { return mShmImage != nullptr; }

private:
  bool attachSharedImage();
  void send(X11Area area);

  X11Connection& mConnection;
  Window mWindow;
  int mWidth, mHeight;
  GC mGc;
  XShmSegmentInfo mSegment{};
  XImage* mShmImage = nullptr;
  bool mBusy = false;
  X11Area mWaiting;
  const uint8_t* mPixels = nullptr;
  int mStride = 0;
};
