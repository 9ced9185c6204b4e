#include "catalog/directory.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>

#include "base/utf8.h"

namespace ov {
namespace {

class DirStream {
 public:
  explicit DirStream(const std::string& path) : dir_(::opendir(path.c_str())) {}
  DirStream(const DirStream&) = delete;
  DirStream& operator=(const DirStream&) = delete;
  ~DirStream() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

}  // namespace

std::expected<std::vector<std::string>, IoError> list_directory(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) {
    return std::unexpected(IoError::plain("file name contained an unexpected NUL byte"));
  }
  const DirStream dir{std::string(path)};
  if (dir.get() == nullptr) return std::unexpected(IoError::from_errno(errno));
  std::vector<std::string> names;
  for (;;) {
    // readdir reports an error only through errno, and leaves it alone at the end.
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) return std::unexpected(IoError::from_errno(errno));
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool has_yaml_extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && dot != 0 && name.substr(dot + 1) == "yaml";
}

std::string display_file_name(std::string_view name) {
  return is_valid_utf8(name) ? std::string(name) : std::string("?");
}

VendorFilePath vendor_file_path(std::string_view dir, std::string_view name) {
  return {std::string(dir) + "/" + std::string(name), display_file_name(name)};
}

std::expected<std::vector<VendorFilePath>, IoError> list_vendor_files(std::string_view dir) {
  const auto names = list_directory(dir);
  if (!names) return std::unexpected(names.error());
  std::vector<VendorFilePath> files;
  for (const std::string& name : *names) {
    if (!has_yaml_extension(name)) continue;
    files.push_back(vendor_file_path(dir, name));
  }
  return files;
}

}  // namespace ov
