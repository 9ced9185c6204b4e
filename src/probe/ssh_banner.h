// Reading the identification line that an SSH server sends unasked.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "probe/duration.h"
#include "probe/net_error.h"
#include "probe/poll_task.h"
#include "probe/resolver.h"
#include "probe/socket.h"

namespace ov::probe {

// The most that is read from a server before its first line is judged.
inline constexpr std::size_t kBannerBufferSize = 256;

// The banner in `received` (what the server sent, at most kBannerBufferSize
// bytes): the bytes before the first line feed or carriage return, one
// character per byte (ISO 8859-1) as UTF-8, when that line begins with "SSH-";
// nothing otherwise. Nothing is trimmed.
std::optional<std::string> banner_from_bytes(std::string_view received);

// Reading the first line from a connected stream, nothing sent: a
// poll-driven task (see poll_task.h); take() once next() has nothing more.
// Each receive waits at most `timeout`; one that runs out is the error (the
// platform's EAGAIN text), even when some bytes had arrived.
class BannerRead {
 public:
  BannerRead(Stream stream, Duration timeout, Clock::time_point now);

  std::optional<Readiness> next(Clock::time_point now);
  void on_ready(short revents, Clock::time_point now);
  void on_poll_failure(const NetError& error);

  // The banner judged by banner_from_bytes, or the failure. The stream is
  // closed once the read has ended.
  std::expected<std::optional<std::string>, NetError> take();

 private:
  void finish(std::expected<std::optional<std::string>, NetError> outcome);

  Stream stream_;
  Duration timeout_;
  Clock::time_point last_receive_;
  std::array<char, kBannerBufferSize> buffer_{};
  std::size_t filled_ = 0;
  std::optional<std::expected<std::optional<std::string>, NetError>> outcome_;
};

// Connects as tcp_connect does and reads until a line feed, a full buffer or
// the end of the stream, then judges the bytes with banner_from_bytes. No
// banner means the connection worked but no SSH identification line came.
// Each receive waits at most `timeout`; one that runs out is the error (the
// platform's EAGAIN text), even when some bytes had arrived.
std::expected<std::optional<std::string>, NetError> read_ssh_banner(
    std::string_view host, std::uint16_t port, Duration timeout,
    const AddressLookup& lookup = system_lookup());

}  // namespace ov::probe
