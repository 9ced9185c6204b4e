// One lookup as users ask it: names as they have them (aliases, firmware as
// devices print it, command types in any case for the suggestion), values for
// the placeholders, and every way it can be refused before there is an
// outcome.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "catalog/catalog.h"
#include "catalog/lookup.h"
#include "lookup/placeholders.h"

namespace ov {

struct LookupQuery {
  std::string_view vendor;    // identifier or alias
  std::string_view firmware;  // as given
  std::string_view command;   // a command type's name
  bool exact_firmware = false;
};

// A lookup that reached an outcome: Text, NoBlock, NoEntry, NotSupported or
// InvalidRange. Points into the catalog it was asked of.
struct LookupAnswer {
  std::string vendor;         // the catalog's identifier
  std::string firmware;       // as given
  std::string firmware_used;  // as looked up
  CommandType command;
  LookupOutcome outcome;
  std::string cli;  // Text only: the stored text, its placeholders filled when values were given
  // Text only: the names given values that the stored text does not use.
  std::vector<std::string> unused_settings;
};

// Refuses (Usage) an unknown command type or vendor, with the closest names,
// and a firmware that does not read; with any value given (MissingValue) a
// placeholder of the text left without one.
std::expected<LookupAnswer, Failure> answer_lookup(const Catalog& catalog, const LookupQuery& query,
                                                   const Settings& settings);

// "unknown CommandType: x (did you mean X?)".
Failure unknown_command_type(std::string_view given);

// The refusal (Usage) of an outcome whose vendor the catalog lacks, with the
// names closest to `given_vendor`, or whose firmware does not read; nothing
// for the other outcomes.
std::optional<Failure> refusal(const Catalog& catalog, std::string_view given_vendor,
                               const LookupOutcome& outcome);

}  // namespace ov
