#include "X11ScreenTransfer.h"

#include <algorithm>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

X11ScreenTransfer::X11ScreenTransfer(X11Connection& connection, Window window, int width, int height,
                                     bool sharedMemory)
    : mConnection(connection), mWindow(window), mWidth(width), mHeight(height),
      mGc(XCreateGC(connection.GetDisplay(), window, 0, nullptr))
{
  if (sharedMemory && connection.HasShm() && !attachSharedImage() && mShmImage)
  {
    XDestroyImage(mShmImage);
    mShmImage = nullptr;
  }
}

bool X11ScreenTransfer::attachSharedImage()
{
  Display* display = mConnection.GetDisplay();
  const int screen = DefaultScreen(display);
  mShmImage = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                              nullptr, &mSegment, unsigned(mWidth), unsigned(mHeight));
  if (!mShmImage || mShmImage->bits_per_pixel != 32) return false;
  mSegment.shmid = shmget(IPC_PRIVATE, size_t(mShmImage->bytes_per_line) * mHeight, IPC_CREAT | 0600);
  if (mSegment.shmid < 0) return false;
  mSegment.shmaddr = mShmImage->data = static_cast<char*>(shmat(mSegment.shmid, nullptr, 0));
  mSegment.readOnly = False;
  const bool attached = mSegment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &mSegment);
  // Marked for removal now, so the segment goes away with the last detach even if we crash.
  shmctl(mSegment.shmid, IPC_RMID, nullptr);
  if (attached) return true;
  if (mSegment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(mSegment.shmaddr);
  mShmImage->data = nullptr;
  return false;
}

X11ScreenTransfer::~X11ScreenTransfer()
{
  Display* display = mConnection.GetDisplay();
  if (mShmImage)
  {
    XShmDetach(display, &mSegment);
    // The server must have let go of the segment before it is unmapped here.
    XSync(display, False);
    shmdt(mSegment.shmaddr);
    mShmImage->data = nullptr;
    XDestroyImage(mShmImage);
  }
  XFreeGC(display, mGc);
}

void X11ScreenTransfer::Show(const uint8_t* pixels, int stride, X11Area area)
{
  mPixels = pixels;
  mStride = stride;
  mWaiting = mWaiting.United(area.Clipped(mWidth, mHeight));
  if (!mBusy && !mWaiting.IsEmpty()) send(std::exchange(mWaiting, X11Area{}));
}

void X11ScreenTransfer::OnTransferDone()
{
  mBusy = false;
  if (!mWaiting.IsEmpty()) send(std::exchange(mWaiting, X11Area{}));
}

void X11ScreenTransfer::send(X11Area area)
{
  Display* display = mConnection.GetDisplay();
  if (!mShmImage)
  {
    const int screen = DefaultScreen(display);
    // Wraps the caller's pixels without copying; Xlib converts byte order if the server needs it.
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint8_t*>(mPixels)), unsigned(mWidth),
                                 unsigned(mHeight), 32, mStride);
    if (!image) return;
    XPutImage(display, mWindow, mGc, image, area.x, area.y, area.x, area.y, unsigned(area.width),
              unsigned(area.height));
    image->data = nullptr;
    XDestroyImage(image);
    return;
  }
  const size_t rowBytes = size_t(area.width) * 4;
  for (int row = area.y; row < area.y + area.height; ++row)
    memcpy(mShmImage->data + size_t(row) * mShmImage->bytes_per_line + size_t(area.x) * 4,
           mPixels + size_t(row) * mStride + size_t(area.x) * 4, rowBytes);
  XShmPutImage(display, mWindow, mGc, mShmImage, area.x, area.y, area.x, area.y, unsigned(area.width),
               unsigned(area.height), True);
  mBusy = true;
}
