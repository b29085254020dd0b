// Standard output and standard error, flushed after every text.
#include "cli/run/Console.h"

#include <cstdio>

namespace cli {

namespace {

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

void Print(const std::string& text) {
    Write(stdout, text);
}

void PrintError(const std::string& text) {
    Write(stderr, text);
}

} // namespace cli
