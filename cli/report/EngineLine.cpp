// Reading the engine's whole result line.
#include "cli/report/EngineLine.h"

#include <cstddef>
#include <limits>

#include "bench/LogValue.h"

namespace cli {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks through the line one expected piece at a time.
class Cursor {
public:
    explicit Cursor(const std::string& text) : text_(text) {}

    // Skips blanks; true when there was at least one.
    bool Blanks() {
        const std::size_t start = at_;
        while (at_ < text_.size() && IsSpace(text_[at_])) {
            ++at_;
        }
        return at_ > start;
    }

    bool Literal(const char* expected) {
        std::size_t at = at_;
        for (const char* c = expected; *c != '\0'; ++c, ++at) {
            if (at >= text_.size() || text_[at] != *c) {
                return false;
            }
        }
        at_ = at;
        return true;
    }

    // A decimal number: optional sign, digits with an optional '.', at least one
    // digit, and an exponent only when digits follow it.
    bool Decimal(double& value) {
        const std::size_t start = at_;
        std::size_t at = at_;
        if (at < text_.size() && (text_[at] == '+' || text_[at] == '-')) {
            ++at;
        }
        std::size_t digits = 0;
        while (at < text_.size() && IsDigit(text_[at])) {
            ++at;
            ++digits;
        }
        if (at < text_.size() && text_[at] == '.') {
            ++at;
            while (at < text_.size() && IsDigit(text_[at])) {
                ++at;
                ++digits;
            }
        }
        if (digits == 0) {
            return false;
        }
        if (at < text_.size() && (text_[at] == 'e' || text_[at] == 'E')) {
            std::size_t exponent = at + 1;
            if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) {
                ++exponent;
            }
            if (exponent < text_.size() && IsDigit(text_[exponent])) {
                while (exponent < text_.size() && IsDigit(text_[exponent])) {
                    ++exponent;
                }
                at = exponent;
            }
        }
        value = bench::ParseLeadingDecimal(text_.substr(start, at - start));
        at_ = at;
        return true;
    }

    // Decimal digits only, at most 32 bits' worth.
    bool Seed(std::uint32_t& value) {
        std::size_t at = at_;
        unsigned long long number = 0;
        while (at < text_.size() && IsDigit(text_[at])) {
            number = number * 10 + static_cast<unsigned long long>(text_[at] - '0');
            if (number > std::numeric_limits<std::uint32_t>::max()) {
                return false;
            }
            ++at;
        }
        if (at == at_) {
            return false;
        }
        value = static_cast<std::uint32_t>(number);
        at_ = at;
        return true;
    }

    bool AtEnd() const { return at_ == text_.size(); }

private:
    const std::string& text_;
    std::size_t at_ = 0;
};

} // namespace

std::optional<EngineLine> ParseEngineLine(const std::string& line) {
    EngineLine values;
    Cursor cursor(line);
    cursor.Blanks();
    const bool shaped =
        cursor.Decimal(values.minFps) && cursor.Blanks() && cursor.Literal("/") && cursor.Blanks() &&
        cursor.Decimal(values.avgFps) && cursor.Blanks() && cursor.Literal("/") && cursor.Blanks() &&
        cursor.Decimal(values.maxFps) && cursor.Blanks() && cursor.Literal("fps") && cursor.Blanks() &&
        cursor.Literal("--") && cursor.Blanks() && cursor.Literal("Score") && cursor.Blanks() &&
        cursor.Literal("=") && cursor.Blanks() && cursor.Decimal(values.score) && cursor.Blanks() &&
        cursor.Literal("rand[") && cursor.Seed(values.randSeed) && cursor.Literal("]");
    if (!shaped) {
        return std::nullopt;
    }
    cursor.Blanks();
    if (!cursor.AtEnd()) {
        return std::nullopt;
    }
    return values;
}

LastLineReading ReadLastLineValues(const std::string& lastLine) {
    LastLineReading reading;
    reading.fps = bench::ExtractSceneFps(lastLine);
    reading.hasNumber = bench::HasSceneNumber(lastLine);
    reading.engine = ParseEngineLine(lastLine);
    return reading;
}

} // namespace cli
