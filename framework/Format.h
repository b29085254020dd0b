// printf-style formatting into a std::string. Platform-free; under MinGW the C++
// library routes it to MinGW's own stdio, which formats numbers as glibc does.
#pragma once

#include <cstdarg>
#include <string>

namespace framework {

#if defined(__MINGW32__)
#define KORVANE_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define KORVANE_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

std::string Format(const char* format, ...) KORVANE_PRINTF_FORMAT(1, 2);
std::string FormatList(const char* format, std::va_list args) KORVANE_PRINTF_FORMAT(1, 0);

} // namespace framework
