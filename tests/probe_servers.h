// Loopback servers for the probe tests. Every server listens on an ephemeral
// port of a loopback address, lives on its own thread and stops by itself:
// no wait is longer than kServeLimit, and the destructor joins the thread.
#pragma once

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "probe/duration.h"
#include "probe/net_error.h"
#include "probe/socket.h"
#include "probe/socket_address.h"

namespace ov::probe::fixtures {

using namespace std::chrono_literals;

// The limit of every test wait: short, so that failures show quickly.
inline constexpr Duration kShort{0, 150'000'000};
inline constexpr std::chrono::milliseconds kServeLimit = 2000ms;

inline std::string refused_text() { return NetError::system(ECONNREFUSED).text(); }
inline std::string receive_timeout_text() { return NetError::system(EAGAIN).text(); }

// A TCP socket bound to port 0 of 127.0.0.1, not yet listening.
inline Socket bind_loopback() {
  const auto address = parse_address_literal("127.0.0.1", 0);
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.valid() || ::bind(socket.get(), address->get(), address->size()) != 0) return {};
  return socket;
}

inline std::uint16_t local_port(const Socket& socket) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

// What a scripted server does with the one connection it accepts.
struct Script {
  enum class After : std::uint8_t { Close, Hold };
  std::vector<std::string> chunks;  // sent in order, a short pause between them
  After after = After::Close;
};

class ScriptedServer {
 public:
  explicit ScriptedServer(Script script) : listener_(bind_loopback()) {
    if (!listener_.valid() || ::listen(listener_.get(), 4) != 0) {
      listener_.close();
      return;
    }
    port_ = local_port(listener_);
    thread_ = std::thread([this, script = std::move(script)] { serve(script); });
  }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  ~ScriptedServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  bool ok() const { return listener_.valid(); }
  std::uint16_t port() const { return port_; }

 private:
  // Waits for input on `fd` in short slices, so that stop_ ends the wait.
  bool wait_for_input(int fd, std::chrono::steady_clock::time_point until) const {
    while (!stop_ && std::chrono::steady_clock::now() < until) {
      pollfd entry{fd, POLLIN, 0};
      if (::poll(&entry, 1, 10) > 0) return true;
    }
    return false;
  }

  void serve(const Script& script) {
    const auto until = std::chrono::steady_clock::now() + kServeLimit;
    if (!wait_for_input(listener_.get(), until)) return;
    Socket peer(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    for (std::size_t i = 0; i < script.chunks.size() && peer.valid(); ++i) {
      if (i > 0) std::this_thread::sleep_for(30ms);
      const std::string& chunk = script.chunks[i];
      if (::send(peer.get(), chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0) return;
    }
    if (script.after == Script::After::Close) return;
    // Hold the connection until the client gives up and closes it.
    char sink[64];
    while (wait_for_input(peer.get(), until) && ::recv(peer.get(), sink, sizeof sink, 0) > 0) {
    }
  }

  Socket listener_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A port that refuses connections: bound (so no one else takes it) but not
// listening.
class RefusedPort {
 public:
  bool ok() const { return socket_.valid(); }
  std::uint16_t port() const { return port_; }

 private:
  Socket socket_ = bind_loopback();
  std::uint16_t port_ = local_port(socket_);
};

// A port that drops connection attempts: a listener that never accepts, with
// its accept queue filled, so the kernel ignores further SYNs.
class DroppedPort {
 public:
  DroppedPort() : listener_(bind_loopback()) {
    if (!listener_.valid() || ::listen(listener_.get(), 0) != 0) return;
    port_ = local_port(listener_);
    const auto address = parse_address_literal("127.0.0.1", port_);
    for (int i = 0; i < 8 && !full_; ++i) {
      Socket filler(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      ::connect(filler.get(), address->get(), address->size());
      pollfd entry{filler.get(), POLLOUT, 0};
      full_ = ::poll(&entry, 1, 50) != 1 || (entry.revents & (POLLERR | POLLHUP)) != 0;
      fillers_.push_back(std::move(filler));
    }
  }

  // False if the queue could not be filled; the port would then accept.
  bool ok() const { return full_; }
  std::uint16_t port() const { return port_; }

 private:
  Socket listener_;
  std::uint16_t port_ = 0;
  bool full_ = false;
  std::vector<Socket> fillers_;
};

}  // namespace ov::probe::fixtures
