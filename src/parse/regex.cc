#include "parse/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <functional>
#include <type_traits>
#include <mutex>
#include <unordered_map>

#include "parse/python_text.h"

namespace ov::parse {
namespace {

// The budget of one match: far above what a line of device output needs
// (thousands of steps), far below what takes a human-visible time.
constexpr std::uint32_t kMatchLimit = 1'000'000;
constexpr std::uint32_t kDepthLimit = 10'000;
constexpr std::uint32_t kHeapLimitKiB = 16 * 1024;
constexpr std::size_t kJitStackStart = 64 * 1024;
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

// One PCRE2 code and whether JIT compiled it (false on a platform without
// JIT: the interpreter serves, more slowly).
struct Code {
  explicit Code(pcre2_code* c) : code(c), jit(c != nullptr && pcre2_jit_compile(c, PCRE2_JIT_COMPLETE) == 0) {}
  ~Code() { pcre2_code_free(code); }
  Code(const Code&) = delete;
  Code& operator=(const Code&) = delete;
  pcre2_code* code;  // nullptr: none
  bool jit;
};

struct CompiledPattern {
  CompiledPattern(pcre2_code* c, pcre2_code* a, Translation t, LinePrefix p, std::optional<SimplePattern> s)
      : unicode(c), ascii(a), names(std::move(t.names)), groups(t.groups), prefix(std::move(p)), simple(std::move(s)) {}
  Code unicode;
  // For ASCII subjects: the same pattern without UTF and UCP, which PCRE2
  // runs two to three times as fast; none when the pattern is not ASCII.
  Code ascii;
  std::vector<NamedGroup> names;
  std::size_t groups;
  LinePrefix prefix;
  // For ASCII subjects, when the pattern is a plain sequence: matched without PCRE2.
  std::optional<SimplePattern> simple;
};

const std::vector<NamedGroup>& Regex::named_groups() const {
  static const std::vector<NamedGroup> kNone;
  return code_ ? code_->names : kNone;
}

std::size_t Regex::group_count() const { return code_ ? code_->groups : 0; }

const LinePrefix& Regex::prefix() const {
  static const LinePrefix kUnknown;
  return code_ ? code_->prefix : kUnknown;
}

namespace {

// Patterns compiled before, by their Python text, as Python's `re` keeps its
// own: a template compiled again, or another with the same rules, reuses
// them. Bounded by emptying it when full, as Python's is.
class PatternCache {
 public:
  std::optional<Regex> find(std::string_view pattern) {
    const std::lock_guard lock(mutex_);
    const auto found = patterns_.find(pattern);
    if (found == patterns_.end()) return std::nullopt;
    return found->second;
  }

  void add(std::string_view pattern, const Regex& regex) {
    const std::lock_guard lock(mutex_);
    if (patterns_.size() >= kCapacity) patterns_.clear();
    patterns_.emplace(std::string(pattern), regex);
  }

 private:
  static constexpr std::size_t kCapacity = 2048;
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::mutex mutex_;
  std::unordered_map<std::string, Regex, Hash, std::equal_to<>> patterns_;
};

PatternCache& pattern_cache() {
  static PatternCache cache;
  return cache;
}

}  // namespace

std::expected<Regex, std::string> Regex::compile(std::string_view python_pattern) {
  if (auto cached = pattern_cache().find(python_pattern)) return std::move(*cached);
  auto compiled = compile_uncached(python_pattern);
  if (compiled) pattern_cache().add(python_pattern, *compiled);
  return compiled;
}

namespace {

// Anchored at compile time: an anchor given at match time would leave JIT out.
std::expected<pcre2_code*, std::string> pcre2_code_of(const std::string& pattern, std::uint32_t options) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   options | PCRE2_ANCHORED, &error, &offset, nullptr);
  if (code == nullptr) return std::unexpected(pcre2_text(error));
  return code;
}

// The pattern's twin for ASCII subjects, or nullptr: a pattern beyond ASCII
// (whose case folding may reach ASCII) or one whose escapes name code points
// beyond a byte has none.
pcre2_code* ascii_twin(std::string_view python_pattern) {
  if (!is_ascii(python_pattern)) return nullptr;
  const auto translated = translate_python_regex(python_pattern, Subjects::Ascii);
  if (!translated) return nullptr;
  return pcre2_code_of(translated->pattern, 0).value_or(nullptr);
}

}  // namespace

std::expected<Regex, std::string> Regex::compile_uncached(std::string_view python_pattern) {
  auto translated = translate_python_regex(python_pattern);
  if (!translated) return std::unexpected(translated.error());
  const auto code = pcre2_code_of(translated->pattern, PCRE2_UTF | PCRE2_UCP);
  if (!code) return std::unexpected(code.error());
  Regex regex;
  auto simple = SimplePattern::of(python_pattern);
  LinePrefix prefix = line_prefix(python_pattern);
  // A plain sequence fails at its first wrong byte: cheaper than seeking its inner text.
  if (simple) prefix.inner.clear();
  regex.code_ = std::make_shared<const CompiledPattern>(*code, ascii_twin(python_pattern), std::move(*translated),
                                                        std::move(prefix), std::move(simple));
  if (regex.code_->simple) regex.simple_ = &*regex.code_->simple;
  return regex;
}

bool is_unicode_identifier(std::string_view name) {
  static const Regex kIdentifier = *Regex::compile("[^\\W\\d]\\w*\\Z");
  MatchScratch scratch(kIdentifier.group_count());
  const auto matched = scratch.match(kIdentifier, name);
  return matched && *matched;
}

namespace {

// The calling thread's JIT stack, made at its first match and kept for the
// thread's life: one per scratch would cost a mapping per parse, and PCRE2's
// fallback to the machine stack costs each match. Nothing when the platform
// has no JIT or memory runs out: matches then use the machine stack.
pcre2_jit_stack* thread_jit_stack() {
  struct Owned {
    pcre2_jit_stack* stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    ~Owned() {
      if (stack != nullptr) pcre2_jit_stack_free(stack);
    }
  };
  thread_local const Owned owned;
  return owned.stack;
}

}  // namespace

struct MatchScratch::Engine {
  explicit Engine(std::size_t max_groups)
      : data(pcre2_match_data_create(static_cast<std::uint32_t>(max_groups + 1), nullptr)),
        context(pcre2_match_context_create(nullptr)) {
    if (data == nullptr || context == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(context, kMatchLimit);
    pcre2_set_depth_limit(context, kDepthLimit);
    pcre2_set_heap_limit(context, kHeapLimitKiB);
    if (pcre2_jit_stack* stack = thread_jit_stack()) pcre2_jit_stack_assign(context, nullptr, stack);
  }
  ~Engine() {
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  pcre2_match_data* data;
  pcre2_match_context* context;
  // Where a SimplePattern leaves its groups: as many pairs as `data` holds.
  std::vector<std::size_t> simple_offsets = std::vector<std::size_t>(2 * pcre2_get_ovector_count(data), kUnset);

  int run(const Code& code, std::string_view subject) {
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    if (!code.jit) return pcre2_match(code.code, bytes, subject.size(), 0, PCRE2_NO_UTF_CHECK, data, context);
    return pcre2_jit_match(code.code, bytes, subject.size(), 0, 0, data, context);
  }
};

static_assert(std::is_same_v<PCRE2_SIZE, std::size_t> && PCRE2_UNSET == MatchScratch::kUnset);

// The engine the last scratch of this thread left, for the next one: a
// parse would otherwise make and free its match data and context each time.
std::unique_ptr<MatchScratch::Engine>& MatchScratch::spare_engine() {
  thread_local std::unique_ptr<Engine> spare;
  return spare;
}

MatchScratch::MatchScratch(std::size_t max_groups) {
  std::unique_ptr<Engine>& spare = spare_engine();
  if (spare != nullptr && pcre2_get_ovector_count(spare->data) > max_groups) {
    engine_ = std::move(spare);
  } else {
    engine_ = std::make_unique<Engine>(max_groups);
  }
  pcre2_offsets_ = ovector_ = pcre2_get_ovector_pointer(engine_->data);
  pairs_ = pcre2_get_ovector_count(engine_->data);
  simple_offsets_ = engine_->simple_offsets.data();
}

// The larger engine is kept: it serves every template the smaller one does.
MatchScratch::~MatchScratch() {
  std::unique_ptr<Engine>& spare = spare_engine();
  if (spare == nullptr || pcre2_get_ovector_count(spare->data) < pairs_) spare = std::move(engine_);
}

std::expected<bool, std::string> MatchScratch::match_pcre2(const Regex& regex, std::string_view subject,
                                                           Subjects subjects) {
  const CompiledPattern& pattern = *regex.code_;
  ovector_ = pcre2_offsets_;
  const Code& code = subjects == Subjects::Ascii && pattern.ascii.code != nullptr ? pattern.ascii : pattern.unicode;
  const int rc = engine_->run(code, subject);
  if (rc >= 0) return true;
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (is_budget(rc)) return std::unexpected("the match exceeded its budget (" + pcre2_text(rc) + ")");
  return std::unexpected(pcre2_text(rc));
}

}  // namespace ov::parse
