#include "cli/probe_output.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>

#include "probe/probe_steps.h"

namespace ov::cli {
namespace {

std::uint64_t saturated(unsigned __int128 value) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  return value > kMax ? kMax : static_cast<std::uint64_t>(value);
}

// C0 controls, DEL and the C1 controls (U+0080 to U+009F, two bytes in UTF-8)
// become \xNN; everything else is kept.
std::string visible(std::string_view text) {
  std::string out;
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    unsigned code = 0x100;  // none
    if (byte < 0x20 || byte == 0x7F) {
      code = byte;
    } else if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9F) {
        code = next;
        ++i;
      }
    }
    if (code == 0x100) {
      out += text[i];
    } else {
      std::snprintf(escape, sizeof escape, "\\x%02x", code);
      out += escape;
    }
  }
  return out;
}

std::string flag_text(const std::optional<bool>& flag) {
  return !flag ? "skipped" : *flag ? "yes" : "no";
}

// The progress line on stderr, drawn only for a terminal and always cleared
// before a result is written, so the two never share a line.
class Progress {
 public:
  Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
  void update(std::size_t done, std::size_t total) {
    if (!shown_) return;
    text_ = "probed " + std::to_string(done) + " of " + std::to_string(total) + " hosts";
    draw();
  }
  void clear() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  void draw() {
    if (shown_ && !text_.empty()) {
      std::fputs(("\r\033[K" + text_).c_str(), stderr);
      std::fflush(stderr);
    }
  }

 private:
  bool shown_;
  std::string text_;
};

}  // namespace

std::string report_text(const probe::ProbeReport& report, std::span<const std::string> skip) {
  const std::string ssh = report.ssh_banner ? visible(*report.ssh_banner)
                          : probe::is_skipped(probe::kProbeSteps[0].skip_name, skip) ? "skipped"
                                                                                     : "no";
  std::string out = visible(report.host) + ": ssh " + ssh + ", netconf " +
                    flag_text(report.netconf_available) + ", gnmi " +
                    flag_text(report.gnmi_available) + ", restconf " +
                    flag_text(report.restconf_available) + " (" +
                    std::to_string(saturated(report.elapsed_ms)) + " ms)\n";
  for (const std::string& line : report.diagnostics) out += "  " + visible(line) + "\n";
  return out;
}

void deliver_reports(FleetProbe& fleet,
                     const std::function<void(const probe::ProbeReport& report)>& deliver) {
  Progress progress;
  const auto update = [&](std::size_t done, std::size_t total) { progress.update(done, total); };
  while (const auto report = fleet.next(update)) {
    progress.clear();
    deliver(*report);
    std::fflush(stdout);
    progress.draw();
  }
  progress.clear();
}

}  // namespace ov::cli
