#include "catalog/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/unique_fd.h"
#include "base/utf8.h"

namespace ov {
namespace {

IoError not_regular() { return IoError::plain("not a regular file"); }

std::expected<UniqueFd, IoError> open_regular(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    const int error = errno;
    struct stat info {};
    // A socket cannot be opened at all; name it like every other non-file.
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
      return std::unexpected(not_regular());
    }
    return std::unexpected(IoError::from_errno(error));
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return std::unexpected(IoError::from_errno(errno));
  if (S_ISDIR(info.st_mode)) return std::unexpected(IoError::from_errno(EISDIR));
  if (!S_ISREG(info.st_mode)) return std::unexpected(not_regular());
  return fd;
}

}  // namespace

std::expected<std::string, IoError> read_text_file(const std::string& path) {
  auto fd = open_regular(path);
  if (!fd) return std::unexpected(fd.error());
  struct stat info {};
  const bool sized = ::fstat(fd->get(), &info) == 0 && info.st_size > 0;
  // One byte beyond the reported size, so the final read sees the end.
  std::string text(sized ? static_cast<std::size_t>(info.st_size) + 1 : 4096, '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == text.size()) text.resize(text.size() * 2);
    const ssize_t got = ::read(fd->get(), text.data() + size, text.size() - size);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;  // interrupted before anything was read
      return std::unexpected(IoError::from_errno(errno));
    }
    size += static_cast<std::size_t>(got);
  }
  text.resize(size);
  if (!is_valid_utf8(text)) {
    return std::unexpected(IoError::plain("stream did not contain valid UTF-8"));
  }
  return text;
}

}  // namespace ov
