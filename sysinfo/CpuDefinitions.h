// The processor definitions file, cpudef.dat: which keys a processor seeks in it
// and how its name is found. Platform-free; the file comes as a LineSource.
//
// A section starts with a line "[V,0xFM]": V the vendor's number, F and M the
// family and model as one uppercase hexadecimal digit each. Seven description
// lines follow; the second is the processor's name. Intel family 6 models 5, 7
// and 8 are split by level-2 size: their section holds variants, each a line
// "[L2]" (kilobytes, decimal) followed by its seven lines. Every comparison is
// against the whole line, byte for byte; the first matching line wins.
#pragma once

#include <optional>
#include <string>

#include "framework/LineSource.h"

namespace sysinfo {

// The file's name; it is opened in the current directory.
constexpr char kDefinitionsFileName[] = "cpudef.dat";
// The name when the file has no section (or no variant) for the processor.
constexpr char kUnknownProcessorName[] = "Unknow";
// The name when the file cannot be opened or read.
constexpr char kDefinitionsUnreadableName[] = "cpudef.dat unreadable";

// The number that stands for a vendor text in section keys; 0 for "Unknown" or
// any text that is not one of the five vendors.
int VendorNumber(const std::string& vendor);

struct DefinitionKeys {
    std::string sectionKey; // "[2,0x68]"
    std::string cacheKey;   // "[256]"; Intel only, empty for the other vendors
    bool seeksVariant = false;
};

// The keys a processor seeks, or nothing when its vendor has no number.
std::optional<DefinitionKeys> DefinitionKeysFor(const std::string& vendor, int family, int model, int l2Kb);

// Reads `lines` from where they stand: the section, then (for the three split
// Intel models) the variant, searched to the end of the file, then the seven
// description lines. Returns the second of them (empty when the file ends
// first), or kUnknownProcessorName when a key is not found. Read errors are not
// caught; a line longer than framework::kMaxLineBytes throws framework::FileError,
// as an unreadable file does.
std::string LookUpProcessorName(framework::LineSource& lines, const DefinitionKeys& keys);

} // namespace sysinfo
