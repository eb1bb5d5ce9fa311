// csv_check.cpp: walks CSV text field by field and stops at the first fault.
#include "csv_check.hpp"

namespace tessaly::fuzz {

std::optional<std::string> csvFault(std::string_view text, std::size_t fieldCount, std::size_t& records)
{
    records = 0;
    std::size_t pos = 0;
    auto fault = [&](const char* what) {
        return std::string(what) + " in record " + std::to_string(records + 1) + " at byte " + std::to_string(pos);
    };
    while (pos < text.size()) {
        std::size_t fields = 0;
        for (;;) {
            ++fields;
            if (pos < text.size() && text[pos] == '"') {
                ++pos;
                for (;;) {
                    if (pos >= text.size())
                        return fault("quoted field not closed");
                    if (text[pos] == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"') {
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    ++pos;
                }
            } else {
                while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') {
                    if (text[pos] == '"')
                        return fault("quote in a bare field");
                    ++pos;
                }
            }
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            break;
        }
        if (pos < text.size()) {
            if (text.substr(pos, 2) != "\r\n")
                return fault("record not ended by CRLF");
            pos += 2;
        }
        if (fields != fieldCount)
            return fault(("record of " + std::to_string(fields) + " fields").c_str());
        ++records;
    }
    return std::nullopt;
}

} // namespace tessaly::fuzz
