// A strict JSON reader and a checker for a subset of JSON Schema, for the tests
// of korvane-cli's JSON report: the unit tests check the writer's output, the
// end-to-end tests the report of a real run, both against docs/cli-json-schema.json.
//
// The schema keywords understood: $ref (to "#/$defs/<name>"), type (one name or
// a list; "integer" is a number written without fraction or exponent), enum,
// const, properties, required, additionalProperties (false or a schema), items,
// minItems, maxItems, minimum, maximum, minLength. Any other keyword is an error,
// so that the schema cannot say more than is checked. Header-only.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace jsoncheck {

struct Value {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    bool integral = false; // a number written as digits only
    std::string text;      // a string's characters (UTF-8)
    std::vector<Value> elements;
    std::vector<std::pair<std::string, Value>> members; // in the order written

    const Value* Member(const std::string& name) const {
        for (const auto& member : members) {
            if (member.first == name) {
                return &member.second;
            }
        }
        return nullptr;
    }
    // The member's value; a static null when it is missing.
    const Value& operator[](const std::string& name) const {
        static const Value missing;
        const Value* member = Member(name);
        return member != nullptr ? *member : missing;
    }
    bool IsNull() const { return kind == Kind::Null; }
};

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    // The one value the text holds, with blanks around it; nothing on any error.
    std::optional<Value> ReadDocument(std::string* error) {
        Value value;
        SkipBlanks();
        if (!ReadValue(value, 0)) {
            return Failed(error);
        }
        SkipBlanks();
        if (at_ != text_.size()) {
            error_ = "text after the value";
            return Failed(error);
        }
        return value;
    }

private:
    std::optional<Value> Failed(std::string* error) {
        if (error != nullptr) {
            *error = error_ + " at offset " + std::to_string(at_);
        }
        return std::nullopt;
    }

    bool Fail(const char* what) {
        error_ = what;
        return false;
    }

    void SkipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Literal(const char* word) {
        for (const char* c = word; *c != '\0'; ++c, ++at_) {
            if (at_ >= text_.size() || text_[at_] != *c) {
                return Fail("bad literal");
            }
        }
        return true;
    }

    bool ReadValue(Value& value, int depth) {
        if (depth > 64) {
            return Fail("nested too deeply");
        }
        if (at_ >= text_.size()) {
            return Fail("missing value");
        }
        switch (text_[at_]) {
        case '{':
            return ReadObject(value, depth);
        case '[':
            return ReadArray(value, depth);
        case '"':
            value.kind = Value::Kind::String;
            return ReadString(value.text);
        case 't':
            value.kind = Value::Kind::Bool;
            value.boolean = true;
            return Literal("true");
        case 'f':
            value.kind = Value::Kind::Bool;
            return Literal("false");
        case 'n':
            value.kind = Value::Kind::Null;
            return Literal("null");
        default:
            return ReadNumber(value);
        }
    }

    bool ReadObject(Value& value, int depth) {
        value.kind = Value::Kind::Object;
        ++at_;
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            std::string name;
            if (at_ >= text_.size() || text_[at_] != '"' || !ReadString(name)) {
                return Fail("missing member name");
            }
            if (value.Member(name) != nullptr) {
                return Fail("member named twice");
            }
            SkipBlanks();
            if (at_ >= text_.size() || text_[at_] != ':') {
                return Fail("missing ':'");
            }
            ++at_;
            SkipBlanks();
            Value member;
            if (!ReadValue(member, depth + 1)) {
                return false;
            }
            value.members.emplace_back(std::move(name), std::move(member));
            SkipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return true;
            }
            return Fail("missing ',' or '}'");
        }
    }

    bool ReadArray(Value& value, int depth) {
        value.kind = Value::Kind::Array;
        ++at_;
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            Value element;
            if (!ReadValue(element, depth + 1)) {
                return false;
            }
            value.elements.push_back(std::move(element));
            SkipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return true;
            }
            return Fail("missing ',' or ']'");
        }
    }

    static void AppendUtf8(std::string& out, unsigned long codePoint) {
        if (codePoint < 0x80) {
            out += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            out += static_cast<char>(0xC0 | (codePoint >> 6));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            out += static_cast<char>(0xE0 | (codePoint >> 12));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (codePoint >> 18));
            out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }

    bool ReadHex4(unsigned long& value) {
        value = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            if (at_ >= text_.size()) {
                return Fail("short \\u escape");
            }
            const char c = text_[at_];
            const int digit = (c >= '0' && c <= '9')   ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) {
                return Fail("bad \\u escape");
            }
            value = value * 16 + static_cast<unsigned long>(digit);
        }
        return true;
    }

    bool ReadString(std::string& out) {
        ++at_;
        for (;;) {
            if (at_ >= text_.size()) {
                return Fail("unterminated string");
            }
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) {
                return Fail("control character in a string");
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++at_;
                continue;
            }
            ++at_;
            if (at_ >= text_.size()) {
                return Fail("unterminated escape");
            }
            const char escape = text_[at_++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned long codePoint = 0;
                if (!ReadHex4(codePoint)) {
                    return false;
                }
                if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
                    unsigned long low = 0;
                    if (!Literal("\\u") || !ReadHex4(low) || low < 0xDC00 || low > 0xDFFF) {
                        return Fail("lone surrogate");
                    }
                    codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
                } else if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
                    return Fail("lone surrogate");
                }
                AppendUtf8(out, codePoint);
                break;
            }
            default:
                return Fail("unknown escape");
            }
        }
    }

    bool ReadNumber(Value& value) {
        const std::size_t start = at_;
        const auto digitAt = [this](std::size_t i) {
            return i < text_.size() && text_[i] >= '0' && text_[i] <= '9';
        };
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        if (!digitAt(at_)) {
            return Fail("bad value");
        }
        if (text_[at_] == '0') {
            ++at_;
            if (digitAt(at_)) {
                return Fail("leading zero");
            }
        } else {
            while (digitAt(at_)) {
                ++at_;
            }
        }
        bool integral = true;
        if (at_ < text_.size() && text_[at_] == '.') {
            integral = false;
            ++at_;
            if (!digitAt(at_)) {
                return Fail("no digit after '.'");
            }
            while (digitAt(at_)) {
                ++at_;
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            integral = false;
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            if (!digitAt(at_)) {
                return Fail("no digit in the exponent");
            }
            while (digitAt(at_)) {
                ++at_;
            }
        }
        value.kind = Value::Kind::Number;
        value.integral = integral;
        value.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
    std::string error_;
};

inline std::optional<Value> Parse(const std::string& text, std::string* error = nullptr) {
    return Reader(text).ReadDocument(error);
}

inline bool SameValue(const Value& a, const Value& b) {
    if (a.kind != b.kind) {
        return false;
    }
    switch (a.kind) {
    case Value::Kind::Null:
        return true;
    case Value::Kind::Bool:
        return a.boolean == b.boolean;
    case Value::Kind::Number:
        return a.number == b.number;
    case Value::Kind::String:
        return a.text == b.text;
    case Value::Kind::Array:
        if (a.elements.size() != b.elements.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.elements.size(); ++i) {
            if (!SameValue(a.elements[i], b.elements[i])) {
                return false;
            }
        }
        return true;
    case Value::Kind::Object:
        if (a.members.size() != b.members.size()) {
            return false;
        }
        for (const auto& member : a.members) {
            const Value* other = b.Member(member.first);
            if (other == nullptr || !SameValue(member.second, *other)) {
                return false;
            }
        }
        return true;
    }
    return false;
}

class SchemaChecker {
public:
    explicit SchemaChecker(const Value& root) : root_(root) {}

    // Every way `instance` breaks the schema, each with the path to the value.
    std::vector<std::string> Check(const Value& instance) {
        problems_.clear();
        CheckValue(instance, root_, "$");
        return problems_;
    }

private:
    void Problem(const std::string& path, const std::string& what) {
        problems_.push_back(path + ": " + what);
    }

    static bool HasType(const Value& value, const std::string& type) {
        switch (value.kind) {
        case Value::Kind::Null:
            return type == "null";
        case Value::Kind::Bool:
            return type == "boolean";
        case Value::Kind::Number:
            return type == "number" || (type == "integer" && value.integral);
        case Value::Kind::String:
            return type == "string";
        case Value::Kind::Array:
            return type == "array";
        case Value::Kind::Object:
            return type == "object";
        }
        return false;
    }

    const Value* Resolve(const Value& schema, const std::string& path) {
        const Value* ref = schema.Member("$ref");
        if (ref == nullptr) {
            return &schema;
        }
        const std::string prefix = "#/$defs/";
        if (ref->kind != Value::Kind::String || ref->text.compare(0, prefix.size(), prefix) != 0) {
            Problem(path, "schema: unsupported $ref");
            return nullptr;
        }
        const Value* target = root_["$defs"].Member(ref->text.substr(prefix.size()));
        if (target == nullptr) {
            Problem(path, "schema: no definition " + ref->text);
        }
        return target;
    }

    void CheckValue(const Value& value, const Value& schemaIn, const std::string& path) {
        const Value* schema = Resolve(schemaIn, path);
        if (schema == nullptr) {
            return;
        }
        static const char* const known[] = {
            "$schema", "$id",      "$ref",     "$defs",      "title",    "description",
            "type",    "enum",     "const",    "properties", "required", "additionalProperties",
            "items",   "minItems", "maxItems", "minimum",    "maximum",  "minLength"};
        for (const auto& member : schema->members) {
            bool isKnown = false;
            for (const char* name : known) {
                isKnown = isKnown || member.first == name;
            }
            if (!isKnown) {
                Problem(path, "schema: unsupported keyword " + member.first);
            }
        }
        if (const Value* type = schema->Member("type")) {
            bool matches = false;
            if (type->kind == Value::Kind::String) {
                matches = HasType(value, type->text);
            } else {
                for (const Value& name : type->elements) {
                    matches = matches || HasType(value, name.text);
                }
            }
            if (!matches) {
                Problem(path, "wrong type");
                return;
            }
        }
        if (const Value* options = schema->Member("enum")) {
            bool found = false;
            for (const Value& option : options->elements) {
                found = found || SameValue(option, value);
            }
            if (!found) {
                Problem(path, "not one of the enum's values");
            }
        }
        if (const Value* constant = schema->Member("const")) {
            if (!SameValue(*constant, value)) {
                Problem(path, "not the const value");
            }
        }
        if (value.kind == Value::Kind::Number) {
            if (const Value* minimum = schema->Member("minimum")) {
                if (value.number < minimum->number) {
                    Problem(path, "below the minimum");
                }
            }
            if (const Value* maximum = schema->Member("maximum")) {
                if (value.number > maximum->number) {
                    Problem(path, "above the maximum");
                }
            }
        }
        if (value.kind == Value::Kind::String) {
            if (const Value* minLength = schema->Member("minLength")) {
                if (static_cast<double>(value.text.size()) < minLength->number) {
                    Problem(path, "too short");
                }
            }
        }
        if (value.kind == Value::Kind::Array) {
            if (const Value* minItems = schema->Member("minItems")) {
                if (static_cast<double>(value.elements.size()) < minItems->number) {
                    Problem(path, "too few items");
                }
            }
            if (const Value* maxItems = schema->Member("maxItems")) {
                if (static_cast<double>(value.elements.size()) > maxItems->number) {
                    Problem(path, "too many items");
                }
            }
            if (const Value* items = schema->Member("items")) {
                for (std::size_t i = 0; i < value.elements.size(); ++i) {
                    CheckValue(value.elements[i], *items, path + "[" + std::to_string(i) + "]");
                }
            }
        }
        if (value.kind == Value::Kind::Object) {
            if (const Value* required = schema->Member("required")) {
                for (const Value& name : required->elements) {
                    if (value.Member(name.text) == nullptr) {
                        Problem(path, "missing member " + name.text);
                    }
                }
            }
            const Value* properties = schema->Member("properties");
            const Value* additional = schema->Member("additionalProperties");
            for (const auto& member : value.members) {
                const Value* property = properties != nullptr ? properties->Member(member.first) : nullptr;
                const std::string memberPath = path + "." + member.first;
                if (property != nullptr) {
                    CheckValue(member.second, *property, memberPath);
                } else if (additional != nullptr && additional->kind == Value::Kind::Bool) {
                    if (!additional->boolean) {
                        Problem(memberPath, "member not in the schema");
                    }
                } else if (additional != nullptr) {
                    CheckValue(member.second, *additional, memberPath);
                }
            }
        }
    }

    const Value& root_;
    std::vector<std::string> problems_;
};

} // namespace jsoncheck
