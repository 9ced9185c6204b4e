#include "fleet/report_document.h"

#include <cstdint>
#include <limits>

namespace ov {
namespace {

// JSON numbers of this tool stop at 64 bits; no probe runs that long.
std::uint64_t saturated(unsigned __int128 value) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  return value > kMax ? kMax : static_cast<std::uint64_t>(value);
}

template <class T>
Json value_json(const T& value) {
  return Json(value);
}
template <class T>
Json value_json(const std::optional<T>& value) {
  return optional_json(value);
}
Json value_json(unsigned __int128 value) { return saturated(value); }

}  // namespace

Json report_json(const probe::ProbeReport& report) {
  Json document = Json::object();
  probe::visit_report(report, [&](const char* key, const auto& value) {
    document[key] = value_json(value);
    return true;
  });
  return document;
}

}  // namespace ov
