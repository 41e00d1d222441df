#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace
{
// Waits for `fd` to become readable; false when the stop pipe fires first.
bool readable(int fd, int stopFd)
{
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
  return poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN) && (fds[0].revents & (POLLIN | POLLHUP));
}

} // namespace

LocalHttpServer::LocalHttpServer(Reply reply) : mReply(std::move(reply))
{
  mListener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (mListener < 0 || bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(mListener, 8) != 0 || getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      pipe(mStopPipe) != 0)
    throw std::runtime_error("cannot open a local HTTP server");
  mPort = ntohs(address.sin_port);
  mThread = std::thread(&LocalHttpServer::serve, this);
}

LocalHttpServer::~LocalHttpServer()
{
  (void)!write(mStopPipe[1], "x", 1);
  mThread.join();
  for (int connection : mHeldConnections)
    close(connection);
  close(mListener);
  close(mStopPipe[0]);
  close(mStopPipe[1]);
}

std::string LocalHttpServer::host() const
{
  return "127.0.0.1:" + std::to_string(mPort);
}

std::vector<std::string> LocalHttpServer::requests() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mRequests;
}

void LocalHttpServer::serve()
{
  while (readable(mListener, mStopPipe[0]))
  {
    const int connection = accept(mListener, nullptr, nullptr);
    if (connection >= 0) answer(connection);
  }
}

void LocalHttpServer::answer(int connection)
{
  std::string request;
  char buffer[1024];
  while (request.find("\r\n\r\n") == std::string::npos && readable(connection, mStopPipe[0]))
  {
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mRequests.push_back(request.substr(0, request.find("\r\n")));
  }
  if (mReply.silent)
  {
    mHeldConnections.push_back(connection);
    return;
  }
  const std::string reply = "HTTP/1.1 " + std::to_string(mReply.status) +
                            " Test\r\nContent-Length: " + std::to_string(mReply.body.size()) +
                            "\r\nConnection: close\r\n\r\n" + mReply.body;
  for (size_t sent = 0; sent < reply.size();)
  {
    const ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  close(connection);
}
