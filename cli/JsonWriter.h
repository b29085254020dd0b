// A small JSON text writer: objects, arrays, strings, numbers, true, false and
// null, indented by two blanks. Strings are taken as UTF-8; a byte that does not
// belong to a well-formed UTF-8 sequence is written as the Latin-1 character of
// that value, so the output is always well-formed JSON. Numbers are written with
// the fewest digits that read back to the same double; infinities and NaN,
// which JSON has no words for, are written as null. Platform-free.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The next value's name inside an object; the value follows on the writer
    // returned: json.Key("runs").Integer(3).
    JsonWriter& Key(const std::string& name);

    void String(const std::string& text);
    void Number(double value);
    void Integer(long long value);
    void Bool(bool value);
    void Null();
    // The value, or null when there is none.
    void StringOrNull(const std::optional<std::string>& text);
    void NumberOrNull(const std::optional<double>& value);
    void BoolOrNull(const std::optional<bool>& value);

    // The text so far; complete once every object and array has been ended. It
    // ends with a line break.
    std::string Text() const;

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    std::string text_;
    // Per open container: whether it has an element yet.
    std::vector<bool> hasElement_;
    bool afterKey_ = false;
};

// `text` as a JSON string, quotes included.
std::string JsonString(const std::string& text);

// `value` as a JSON number, or "null".
std::string JsonNumber(double value);

} // namespace cli
