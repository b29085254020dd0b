// The scene's frame rate as the game leaves it in its benchmark log: the log's
// last line and the number read from it. Platform-free: the window side opens
// the file and hands its lines in.
#pragma once

#include <stdexcept>
#include <string>

#include "framework/LineSource.h"

namespace bench {

// Thrown by ReadLastLine when the last line is longer than framework::kMaxLineBytes:
// such a log cannot be read.
class LastLineTooLong : public std::runtime_error {
public:
    LastLineTooLong();
};

// The last line that `lines` returns, "" if it returns none. When that line holds
// CRs (a log written with CR alone as its line end reads as one line), the result
// is the text after the last CR that is not the line's own final character, so
// such a log yields its newest result. Earlier lines of any length are read past.
std::string ReadLastLine(framework::LineSource& lines);

// Reads a decimal number at the start of `text` the way atof does: leading white
// space (space, \t \n \v \f \r) is skipped, then an optional sign, digits with an
// optional '.', and an exponent ([eE], optional sign, digits) only when digits
// follow. The longest such prefix is converted, the rest ignored; 0.0 when there
// is no number. Only decimal text counts: hexadecimal, "inf" and "nan" give 0.0
// (or the "0" in front of an 'x'). A number too large for a double gives
// +-HUGE_VAL and one too small gives a zero of its sign, as strtod does.
double ParseLeadingDecimal(const std::string& text);

// The text the scene's frame rate is read from: the at most eleven characters
// after the first '=' of the log's last line, or the first ten characters of a
// line without '='.
std::string SceneValueText(const std::string& lastLine);

// The scene's frame rate from the log's last line: ParseLeadingDecimal of its
// SceneValueText, or 0.0 when that is not a finite number (too large for a
// double, as "1e999"): an infinity is no frame rate, and it counts as a line
// without a number.
double ExtractSceneFps(const std::string& lastLine);

// True when ParseLeadingDecimal finds a number at the start of `text`, rather
// than giving 0.0 for want of one.
bool HasLeadingDecimal(const std::string& text);

// True when the log's last line holds a finite number where ExtractSceneFps reads it.
bool HasSceneNumber(const std::string& lastLine);

} // namespace bench
