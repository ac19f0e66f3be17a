#include "check/SubjectProtocol.h"

#include <cstdlib>

namespace {

void AppendEscaped(std::string& line, std::string_view field) {
    for (const char c : field) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
        }
    }
}

char Unescaped(char c) {
    switch (c) {
        case 't': return '\t';
        case 'n': return '\n';
        case 'r': return '\r';
        default: return c;
    }
}

}  // namespace

const std::string& SubjectRecord::Field(size_t index) const {
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

long long SubjectRecord::Number(size_t index) const { return std::strtoll(Field(index).c_str(), nullptr, 10); }

std::string EncodeRecord(const SubjectRecord& record) {
    std::string line;
    AppendEscaped(line, record.kind);
    for (const std::string& field : record.fields) {
        line += '\t';
        AppendEscaped(line, field);
    }
    return line + "\n";
}

SubjectRecord DecodeRecord(std::string_view line) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t')
            parts.emplace_back();
        else if (line[i] == '\\' && i + 1 < line.size())
            parts.back() += Unescaped(line[++i]);
        else if (line[i] != '\r')
            parts.back() += line[i];
    }
    SubjectRecord record{std::move(parts.front()), {}};
    record.fields.assign(std::make_move_iterator(parts.begin() + 1), std::make_move_iterator(parts.end()));
    return record;
}

std::string HexField(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += Digits[byte >> 4];
        hex += Digits[byte & 15];
    }
    return hex;
}

std::string BytesOfHexField(std::string_view hex) {
    const auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(value(hex[i]) << 4 | value(hex[i + 1]));
    return bytes;
}
