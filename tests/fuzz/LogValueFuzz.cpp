// Fuzz target: the benchmark log's last line, the value text cut from it (the eleven
// characters after the first '=', or the first ten) and the numbers read, each the
// one strtod reads from the same decimal-only text.
#include <cmath>

#include "FuzzSupport.h"
#include "bench/LogValue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input{data, size};
    const auto [chunk, pattern] = std::array{input.Take(), input.Take()};
    const std::string text = input.Rest(); // the log

    // The last line: the log's last, or its part after a CR (but a CR that ends it).
    const std::vector<std::string> lines = fuzz::CheckedLines(fuzz::Chunked(text, chunk, pattern), text);
    std::string whole = lines.empty() ? "" : lines.back();
    whole.resize(whole.size() - (!whole.empty() && whole.back() == '\r'));
    auto log = fuzz::Chunked(text, chunk, pattern);
    const std::string last = bench::ReadLastLine(log);
    const std::size_t cut = whole.size() - std::min(whole.size(), last.size());
    FUZZ_CHECK(last.find('\r') == std::string::npos && whole.compare(cut, std::string::npos, last) == 0 &&
               (cut == 0 || whole[cut - 1] == '\r'));
    const std::size_t equals = last.find('=');
    const std::string valueText = bench::SceneValueText(last);
    FUZZ_CHECK(valueText == (equals == std::string::npos ? last.substr(0, 10) : last.substr(equals + 1, 11)));

    const auto checkDecimal = [](const std::string& from, double value) {
        // Within these characters strtod reads nothing but a decimal number: no "0x", "inf" or "nan".
        const std::string decimal = from.substr(0, from.find_first_not_of(" \t\n\v\f\r+-.0123456789eE"));
        char* end = nullptr;
        const double expected = std::strtod(decimal.c_str(), &end);
        FUZZ_CHECK(std::memcmp(&value, &expected, sizeof value) == 0 &&
                   bench::ParseLeadingDecimal(from) == value &&
                   bench::HasLeadingDecimal(from) == (end != decimal.c_str()));
    };
    const double parsed = bench::ParseLeadingDecimal(valueText);
    checkDecimal(valueText, parsed);
    // An infinity is no frame rate: the line counts as one without a number.
    FUZZ_CHECK(bench::ExtractSceneFps(last) == (std::isfinite(parsed) ? parsed : 0.0) &&
               bench::HasSceneNumber(last) == (bench::HasLeadingDecimal(valueText) && std::isfinite(parsed)));
    checkDecimal(last, bench::ParseLeadingDecimal(last));
    return 0;
}
