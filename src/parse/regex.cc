#include "parse/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>

namespace ov::parse {
namespace {

// The budget of one match: far above what a line of device output needs
// (thousands of steps), far below what takes a human-visible time.
constexpr std::uint32_t kMatchLimit = 1'000'000;
constexpr std::uint32_t kDepthLimit = 10'000;
constexpr std::uint32_t kHeapLimitKiB = 16 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;

std::string pcre2_text(int code) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
  if (length < 0) return "pcre2 error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

bool is_budget(int code) {
  return code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
         code == PCRE2_ERROR_HEAPLIMIT || code == PCRE2_ERROR_JIT_STACKLIMIT ||
         code == PCRE2_ERROR_NOMEMORY;
}

}  // namespace

struct CompiledPattern {
  explicit CompiledPattern(pcre2_code* c) : code(c) {}
  ~CompiledPattern() { pcre2_code_free(code); }
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;
  pcre2_code* code;
};

std::expected<Regex, std::string> Regex::compile(std::string_view python_pattern) {
  auto translated = translate_python_regex(python_pattern);
  if (!translated) return std::unexpected(translated.error());
  int error = 0;
  PCRE2_SIZE offset = 0;
  // Anchored at compile time: an anchor given at match time would leave JIT out.
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated->pattern.data()),
                                   translated->pattern.size(),
                                   PCRE2_UTF | PCRE2_UCP | PCRE2_ANCHORED, &error, &offset, nullptr);
  if (code == nullptr) return std::unexpected(pcre2_text(error));
  Regex regex;
  regex.code_ = std::make_shared<const CompiledPattern>(code);
  // Without JIT (an unsupported platform) the interpreter serves, more slowly.
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  regex.names_ = std::move(translated->names);
  regex.groups_ = translated->groups;
  return regex;
}

bool is_unicode_identifier(std::string_view name) {
  static const Regex kIdentifier = *Regex::compile("[^\\W\\d]\\w*\\Z");
  MatchScratch scratch(kIdentifier.group_count());
  const auto matched = scratch.match(kIdentifier, name);
  return matched && *matched;
}

struct MatchScratch::Engine {
  explicit Engine(std::size_t max_groups)
      : data(pcre2_match_data_create(static_cast<std::uint32_t>(max_groups + 1), nullptr)),
        context(pcre2_match_context_create(nullptr)),
        jit_stack(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
    if (data == nullptr || context == nullptr || jit_stack == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(context, kMatchLimit);
    pcre2_set_depth_limit(context, kDepthLimit);
    pcre2_set_heap_limit(context, kHeapLimitKiB);
    pcre2_jit_stack_assign(context, nullptr, jit_stack);
  }
  ~Engine() {
    pcre2_jit_stack_free(jit_stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  pcre2_match_data* data;
  pcre2_match_context* context;
  pcre2_jit_stack* jit_stack;
};

MatchScratch::MatchScratch(std::size_t max_groups) : engine_(std::make_unique<Engine>(max_groups)) {}
MatchScratch::~MatchScratch() = default;

std::expected<bool, std::string> MatchScratch::match(const Regex& regex, std::string_view subject) {
  subject_ = subject;
  const int rc = pcre2_match(regex.code_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                             subject.size(), 0, PCRE2_NO_UTF_CHECK, engine_->data,
                             engine_->context);
  if (rc >= 0) return true;
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (is_budget(rc)) return std::unexpected("the match exceeded its budget (" + pcre2_text(rc) + ")");
  return std::unexpected(pcre2_text(rc));
}

std::optional<std::string_view> MatchScratch::group(std::size_t number) const {
  if (number >= pcre2_get_ovector_count(engine_->data)) return std::nullopt;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(engine_->data);
  const PCRE2_SIZE begin = ovector[2 * number];
  const PCRE2_SIZE end = ovector[2 * number + 1];
  if (begin == PCRE2_UNSET || end < begin) return std::nullopt;
  return subject_.substr(begin, end - begin);
}

}  // namespace ov::parse
