// The JSON text writer: layout, string escapes, bytes that are not UTF-8, and
// numbers that read back to the same double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "cli/JsonWriter.h"
#include "tests/support/JsonCheck.h"

namespace {

TEST(JsonWriterTest, IndentsNestedObjectsAndArrays) {
    cli::JsonWriter json;
    json.BeginObject();
    json.Key("a");
    json.Integer(1);
    json.Key("list");
    json.BeginArray();
    json.Bool(true);
    json.Null();
    json.BeginObject();
    json.EndObject();
    json.BeginArray();
    json.EndArray();
    json.EndArray();
    json.Key("text");
    json.String("x");
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\n"
                           "  \"a\": 1,\n"
                           "  \"list\": [\n"
                           "    true,\n"
                           "    null,\n"
                           "    {},\n"
                           "    []\n"
                           "  ],\n"
                           "  \"text\": \"x\"\n"
                           "}\n");
}

TEST(JsonWriterTest, MissingValuesAreNullAndPresentOnesKeepTheirType) {
    cli::JsonWriter json;
    json.BeginArray();
    json.StringOrNull(std::nullopt);
    json.StringOrNull(std::string());
    json.NumberOrNull(std::nullopt);
    json.NumberOrNull(0.0);
    json.BoolOrNull(std::nullopt);
    json.BoolOrNull(false);
    json.BeginObject();
    json.Key("chained").NumberOrNull(2.5);
    json.EndObject();
    json.EndArray();
    EXPECT_EQ(json.Text(), "[\n"
                           "  null,\n"
                           "  \"\",\n"
                           "  null,\n"
                           "  0,\n"
                           "  null,\n"
                           "  false,\n"
                           "  {\n"
                           "    \"chained\": 2.5\n"
                           "  }\n"
                           "]\n");
}

struct StringCase {
    const char* name;
    std::string text;
    std::string json;
};

const StringCase kStringCases[] = {
    {"Plain", "Flyby 1 - DM-Antalus", "\"Flyby 1 - DM-Antalus\""},
    {"QuoteAndBackslash", "C:\\UT2003 \"demo\"", "\"C:\\\\UT2003 \\\"demo\\\"\""},
    {"LineEnds", "a\n\nb\r", "\"a\\n\\nb\\r\""},
    {"TabBackspaceFormFeed", "\t\b\f", "\"\\t\\b\\f\""},
    {"OtherControlCharacters", std::string("\x01\x1f", 2), "\"\\u0001\\u001f\""},
    {"NulInside", std::string("a\0b", 3), "\"a\\u0000b\""},
    {"WellFormedUtf8Kept", "M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80",
     "\"M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80\""},
    {"LoneHighByteAsLatin1", "M\xFCnchen", "\"M\xC3\xBCnchen\""},
    {"TruncatedSequenceAsLatin1", "\xE2\x82", "\"\xC3\xA2\xC2\x82\""},
    {"OverlongFormAsLatin1", "\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},
    {"SurrogateAsLatin1", "\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xC2\x80\""},
    {"Empty", "", "\"\""},
};

class JsonStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(JsonStringTest, EscapesAndKeepsTheTextReadable) {
    const StringCase& c = GetParam();
    const std::string json = cli::JsonString(c.text);
    EXPECT_EQ(json, c.json);
    std::string error;
    const std::optional<jsoncheck::Value> read = jsoncheck::Parse(json, &error);
    ASSERT_TRUE(read.has_value()) << error;
    EXPECT_EQ(read->kind, jsoncheck::Value::Kind::String);
}

INSTANTIATE_TEST_SUITE_P(Cases, JsonStringTest, ::testing::ValuesIn(kStringCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct NumberCase {
    const char* name;
    double value;
    const char* json;
};

const NumberCase kNumberCases[] = {
    {"Zero", 0.0, "0"},
    {"Whole", 3700.0, "3700"},
    {"ShortestDigits", 41.762527, "41.762527"},
    {"OneTenth", 0.1, "0.1"},
    {"ScoreBeforeFormatting", 3700.0001102, "3700.0001102"},
    {"FloatWidened", static_cast<double>(269.4f), "269.3999938964844"},
    {"Large", 1e21, "1e+21"},
    {"Small", 1.5e-7, "1.5e-07"},
    {"Negative", -2.5, "-2.5"},
    {"Infinity", std::numeric_limits<double>::infinity(), "null"},
    {"NegativeInfinity", -std::numeric_limits<double>::infinity(), "null"},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), "null"},
};

class JsonNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(JsonNumberTest, WritesTheFewestDigitsThatReadBack) {
    const NumberCase& c = GetParam();
    const std::string json = cli::JsonNumber(c.value);
    EXPECT_EQ(json, c.json);
    if (std::isfinite(c.value)) {
        EXPECT_EQ(std::strtod(json.c_str(), nullptr), c.value) << "reads back to the same double";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JsonNumberTest, ::testing::ValuesIn(kNumberCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
