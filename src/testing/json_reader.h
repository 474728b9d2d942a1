// A small JSON reader for tests that compare JSON documents as values (key order, spacing and
// number spelling aside). Test support only: it trusts its input to be small.

#ifndef ORVANO_TESTING_JSON_READER_H_
#define ORVANO_TESTING_JSON_READER_H_

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvano::testing {

struct JsonValue {
  using Array = std::vector<JsonValue>;
  using Object = std::map<std::string, JsonValue>;
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value;

  bool operator==(const JsonValue&) const = default;
};

/// Parses `text` (one JSON value, NaN and Infinity allowed). Throws std::runtime_error with
/// the offset of the first fault.
JsonValue ParseJson(std::string_view text);

}  // namespace orvano::testing

#endif  // ORVANO_TESTING_JSON_READER_H_
