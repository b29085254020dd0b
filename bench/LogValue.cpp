// Reading the frame rate from the benchmark log's last line.
#include "bench/LogValue.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace bench {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the value's text is cut from the last line, and how much of it is read.
constexpr char kSeparator = '=';
constexpr std::size_t kValueWidth = 11;

} // namespace

LastLineTooLong::LastLineTooLong()
    : std::runtime_error("Its last line is longer than " + std::to_string(framework::kMaxLineBytes) +
                         " bytes.") {}

std::string ReadLastLine(framework::LineSource& lines) {
    std::string lastLine;
    std::string line;
    bool cut = false;
    while (lines.ReadLine(line)) {
        lastLine.swap(line);
        cut = lines.LineWasCut();
    }
    if (cut) {
        throw LastLineTooLong();
    }
    // A log written with CR alone as its line end reads as one single line, whose
    // first "=" belongs to the oldest result: the newest result is the text after
    // the last CR that does not end the line itself.
    if (!lastLine.empty() && lastLine.back() == '\r') {
        lastLine.pop_back();
    }
    const std::size_t lastCr = lastLine.rfind('\r');
    if (lastCr != std::string::npos) {
        lastLine.erase(0, lastCr + 1);
    }
    return lastLine;
}

double ParseLeadingDecimal(const std::string& text) {
    const std::size_t size = text.size();
    std::size_t at = 0;
    while (at < size && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < size && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }

    // Mantissa: digits, optionally a '.' and more digits; at least one digit in all.
    const std::size_t numberBegin = at;
    // Power of ten of the first significant digit, counted while scanning, so that
    // a value out of range can be told to be too large or too small.
    long long leadingPower = 0;
    bool significant = false;
    std::size_t integerDigits = 0;
    while (at < size && IsDigit(text[at])) {
        if (significant) {
            ++leadingPower;
        } else if (text[at] != '0') {
            significant = true;
        }
        ++at;
        ++integerDigits;
    }
    std::size_t fractionDigits = 0;
    if (at < size && text[at] == '.') {
        std::size_t next = at + 1;
        while (next < size && IsDigit(text[next])) {
            if (!significant) {
                --leadingPower;
                significant = text[next] != '0';
            }
            ++next;
            ++fractionDigits;
        }
        if (integerDigits + fractionDigits > 0) {
            at = next;
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return 0.0;
    }

    // Exponent: only when at least one digit follows the 'e' and its sign.
    long long exponent = 0;
    if (at < size && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t next = at + 1;
        bool exponentNegative = false;
        if (next < size && (text[next] == '+' || text[next] == '-')) {
            exponentNegative = text[next] == '-';
            ++next;
        }
        if (next < size && IsDigit(text[next])) {
            while (next < size && IsDigit(text[next])) {
                // Far beyond any double's range; bounded so that it cannot overflow.
                if (exponent < 100000000000LL) {
                    exponent = exponent * 10 + (text[next] - '0');
                }
                ++next;
            }
            if (exponentNegative) {
                exponent = -exponent;
            }
            at = next;
        }
    }

    double value = 0.0;
    const char* first = text.data() + numberBegin;
    const char* last = text.data() + at;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: too large gives HUGE_VAL, too small zero.
        value = significant && leadingPower + exponent > 0 ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string SceneValueText(const std::string& lastLine) {
    // The count handed to the cut is the separator's position plus eleven, so a
    // line without separator (position -1) gives its first ten characters and a
    // line with one gives at most eleven characters after it.
    const std::size_t separator = lastLine.find(kSeparator);
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t count = separator == std::string::npos ? kValueWidth - 1 : separator + kValueWidth;
    std::string valueText = start < lastLine.size() ? lastLine.substr(start, count) : std::string();
    if (valueText.size() > kValueWidth) {
        valueText.resize(kValueWidth);
    }
    return valueText;
}

double ExtractSceneFps(const std::string& lastLine) {
    const double value = ParseLeadingDecimal(SceneValueText(lastLine));
    return std::isfinite(value) ? value : 0.0;
}

bool HasLeadingDecimal(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
    }
    return at < text.size() && IsDigit(text[at]);
}

bool HasSceneNumber(const std::string& lastLine) {
    const std::string valueText = SceneValueText(lastLine);
    return HasLeadingDecimal(valueText) && std::isfinite(ParseLeadingDecimal(valueText));
}

} // namespace bench
