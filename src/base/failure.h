// Why a request of a front end was refused, as every room below the front
// ends reports it: a kind that each front end maps in one place (an exit
// status, an exception type) and the message, without any option name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ov {

enum class FailureKind : std::uint8_t {
  Usage,         // an argument was refused: unknown name, bad firmware, bad value
  MissingValue,  // placeholders were left without a value while values were given
  Catalog,       // the catalog could not be read
};

struct Failure {
  FailureKind kind = FailureKind::Usage;
  std::string message;
  std::vector<std::string> names;  // MissingValue: the placeholders, in order
};

inline Failure usage_failure(std::string message) {
  return {FailureKind::Usage, std::move(message), {}};
}

}  // namespace ov
