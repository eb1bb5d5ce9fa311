// csv_check.hpp: an RFC 4180 checker, so the fuzz targets can prove every CSV they write splits right.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly::fuzz {

// What keeps text from being RFC 4180 records of exactly fieldCount fields each: records end
// with CRLF (the last one may end without), a field is either bare (no comma, quote, CR or LF)
// or quoted with inner quotes doubled. Nothing when it is such records; records counts them.
std::optional<std::string> csvFault(std::string_view text, std::size_t fieldCount, std::size_t& records);

} // namespace tessaly::fuzz
