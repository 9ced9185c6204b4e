#include "probe/ssh_banner.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "probe/tcp_connect.h"

namespace ov::probe {
namespace {

constexpr std::string_view kSshPrefix = "SSH-";

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

BannerRead::BannerRead(Stream stream, Duration timeout, Clock::time_point now)
    : stream_(std::move(stream)), timeout_(timeout), last_receive_(now) {}

std::optional<Readiness> BannerRead::next(Clock::time_point now) {
  if (outcome_) return std::nullopt;
  const auto wait_ms = poll_wait_ms(timeout_, now - last_receive_);
  if (!wait_ms) {
    // What a blocking receive with this timeout reports.
    finish(std::unexpected(NetError::system(EAGAIN)));
    return std::nullopt;
  }
  return Readiness{stream_.get(), POLLIN, *wait_ms};
}

// Reads until the first line feed, a full buffer or the peer's close.
void BannerRead::on_ready(short, Clock::time_point now) {
  const ssize_t got =
      ::recv(stream_.get(), buffer_.data() + filled_, buffer_.size() - filled_, MSG_DONTWAIT);
  if (got < 0) {
    // A signal or a spurious wake-up, not the peer: wait again.
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) return;
    finish(std::unexpected(NetError::last_system_error()));
    return;
  }
  const std::string_view fresh(buffer_.data() + filled_, static_cast<std::size_t>(got));
  filled_ += fresh.size();
  last_receive_ = now;
  if (got == 0 || filled_ == buffer_.size() || fresh.find('\n') != std::string_view::npos) {
    finish(banner_from_bytes(std::string_view(buffer_.data(), filled_)));
  }
}

void BannerRead::on_poll_failure(const NetError& error) { finish(std::unexpected(error)); }

std::expected<std::optional<std::string>, NetError> BannerRead::take() {
  return outcome_ ? std::move(*outcome_) : std::unexpected(NetError::system(EAGAIN));
}

void BannerRead::finish(std::expected<std::optional<std::string>, NetError> outcome) {
  outcome_ = std::move(outcome);
  stream_ = Stream();
}

std::expected<std::optional<std::string>, NetError> read_ssh_banner(std::string_view host,
                                                                    std::uint16_t port,
                                                                    Duration timeout,
                                                                    const AddressLookup& lookup) {
  auto stream = tcp_connect(host, port, timeout, lookup);
  if (!stream) return std::unexpected(stream.error());
  BannerRead read(std::move(*stream), timeout, Clock::now());
  drive(read);
  return read.take();
}

}  // namespace ov::probe
