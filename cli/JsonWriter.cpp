// JSON text.
#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cli {

namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned long codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendLatin1(std::string& out, unsigned char byte) {
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, at);
            if (length == 0) {
                AppendLatin1(out, c);
                ++at;
            } else {
                out.append(text, at, length);
                at += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++at;
    }
    out += '"';
    return out;
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void JsonWriter::NewLine() {
    text_ += '\n';
    text_.append(hasElement_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasElement_.empty()) {
        if (hasElement_.back()) {
            text_ += ',';
        }
        hasElement_.back() = true;
        NewLine();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    text_ += bracket;
    hasElement_.push_back(false);
}

void JsonWriter::Close(char bracket) {
    const bool hadElement = !hasElement_.empty() && hasElement_.back();
    if (!hasElement_.empty()) {
        hasElement_.pop_back();
    }
    if (hadElement) {
        NewLine();
    }
    text_ += bracket;
}

void JsonWriter::BeginObject() {
    Open('{');
}

void JsonWriter::EndObject() {
    Close('}');
}

void JsonWriter::BeginArray() {
    Open('[');
}

void JsonWriter::EndArray() {
    Close(']');
}

JsonWriter& JsonWriter::Key(const std::string& name) {
    BeforeValue();
    text_ += JsonString(name);
    text_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::String(const std::string& text) {
    BeforeValue();
    text_ += JsonString(text);
}

void JsonWriter::Number(double value) {
    BeforeValue();
    text_ += JsonNumber(value);
}

void JsonWriter::Integer(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
}

void JsonWriter::StringOrNull(const std::optional<std::string>& text) {
    if (text) {
        String(*text);
    } else {
        Null();
    }
}

void JsonWriter::NumberOrNull(const std::optional<double>& value) {
    if (value) {
        Number(*value);
    } else {
        Null();
    }
}

void JsonWriter::BoolOrNull(const std::optional<bool>& value) {
    if (value) {
        Bool(*value);
    } else {
        Null();
    }
}

std::string JsonWriter::Text() const {
    return text_ + "\n";
}

} // namespace cli
