// json_check.hpp: a strict JSON validator, so the fuzz targets can prove every JSON they write parses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaly::fuzz {

// What makes text something other than exactly one JSON value (RFC 8259: UTF-8 without
// overlong forms or surrogates, no control characters in strings, no leading zeros, nothing
// but white space after the value), with its byte offset; nothing when it is one.
std::optional<std::string> jsonFault(std::string_view text);

} // namespace tessaly::fuzz
