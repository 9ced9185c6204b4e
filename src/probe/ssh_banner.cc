#include "probe/ssh_banner.h"

#include <sys/socket.h>

#include <array>
#include <cerrno>

#include "probe/tcp_connect.h"

namespace ov::probe {
namespace {

constexpr std::string_view kSshPrefix = "SSH-";

// Reads until the first line feed, a full buffer or the peer's close; returns
// the bytes received.
std::expected<std::string, NetError> receive_first_line(const Stream& stream) {
  std::array<char, kBannerBufferSize> buffer{};
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const ssize_t got = ::recv(stream.get(), buffer.data() + filled, buffer.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;  // a signal, not the peer: wait again
      return std::unexpected(NetError::last_system_error());
    }
    if (got == 0) break;
    const std::string_view fresh(buffer.data() + filled, static_cast<std::size_t>(got));
    filled += static_cast<std::size_t>(got);
    if (fresh.find('\n') != std::string_view::npos) break;
  }
  return std::string(buffer.data(), filled);
}

void append_latin1(std::string& out, unsigned char byte) {
  if (byte < 0x80) {
    out.push_back(static_cast<char>(byte));
  } else {
    out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
    out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
  }
}

}  // namespace

std::optional<std::string> banner_from_bytes(std::string_view received) {
  const std::string_view line = received.substr(0, received.find_first_of("\r\n"));
  if (!line.starts_with(kSshPrefix)) return std::nullopt;
  std::string text;
  text.reserve(line.size() * 2);
  for (char byte : line) append_latin1(text, static_cast<unsigned char>(byte));
  return text;
}

std::expected<std::optional<std::string>, NetError> read_ssh_banner(std::string_view host,
                                                                    std::uint16_t port,
                                                                    Duration timeout,
                                                                    const AddressLookup& lookup) {
  auto stream = tcp_connect(host, port, timeout, lookup);
  if (!stream) return std::unexpected(stream.error());
  auto received = receive_first_line(*stream);
  if (!received) return std::unexpected(received.error());
  return banner_from_bytes(*received);
}

}  // namespace ov::probe
