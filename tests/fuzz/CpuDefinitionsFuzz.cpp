// Fuzz target: the cpudef.dat lookup over any text, for any vendor text, family,
// model and level-2 size. The keys must be the ones the file format names, the
// name the one a plain reading of the file gives, and the reader must stand
// right after the seven description lines when it returns.
//
// Input: vendor choice, family and model (one byte, high and low nibble), level-2
// choice, a level-2 size (4 bytes), chunk size, read pattern; then the file.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CpuReference.h"
#include "FuzzSupport.h"
#include "framework/LineSource.h"
#include "sysinfo/CpuDefinitions.h"

namespace {

// The five vendors, then texts that are close to one but are none.
const std::string kVendorChoices[] = {
    "AuthenticAMD",
    "GenuineIntel",
    "CyrixInstead",
    "CentaurHauls",
    "RiseRiseRise",
    "Unknown",
    "",
    "genuineintel",
    "GenuineIntel ",
    std::string("AuthenticAMD\0", 13),
};

constexpr int kLevel2Choices[] = {0, 128, 256, 512, 1024, 64, -1};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::string& vendor = kVendorChoices[input.Byte() % std::size(kVendorChoices)];
    const std::uint8_t signature = input.Byte();
    const int family = signature >> 4;
    const int model = signature & 0xF;
    const std::uint8_t level2Choice = input.Byte() % (std::size(kLevel2Choices) + 1);
    const auto anyLevel2 = static_cast<std::int32_t>(input.Word32());
    const int l2Kb = level2Choice < std::size(kLevel2Choices) ? kLevel2Choices[level2Choice] : anyLevel2;
    const std::size_t chunkBytes = fuzz::ChunkBytesFrom(input.Byte());
    const std::uint8_t readPattern = input.Byte();
    const std::string text = input.Rest();

    const std::string what = "vendor " + fuzz::Quoted(vendor) + " family " + std::to_string(family) +
                             " model " + std::to_string(model) + " l2Kb " + std::to_string(l2Kb);

    // The keys.
    const int vendorNumber = fuzz::ReferenceVendorNumber(vendor);
    FUZZ_CHECK(sysinfo::VendorNumber(vendor) == vendorNumber, what);
    const std::optional<sysinfo::DefinitionKeys> keys =
        sysinfo::DefinitionKeysFor(vendor, family, model, l2Kb);
    FUZZ_CHECK(keys.has_value() == (vendorNumber != 0), what);
    if (!keys) {
        return 0;
    }
    const fuzz::ReferenceKeys expectedKeys = fuzz::ReferenceKeysFor(vendorNumber, family, model, l2Kb);
    FUZZ_CHECK(keys->sectionKey == expectedKeys.sectionKey && keys->sectionKey.size() == 8,
               what + " section key " + fuzz::Quoted(keys->sectionKey));
    FUZZ_CHECK(keys->cacheKey == expectedKeys.cacheKey, what + " cache key " + fuzz::Quoted(keys->cacheKey));
    FUZZ_CHECK(keys->seeksVariant == expectedKeys.seeksVariant, what);

    // The file's lines, read in chunks, are the lines of the text.
    const std::vector<std::string> lines = fuzz::ReferenceLines(text);
    {
        fuzz::ChunkedText source(text, chunkBytes, readPattern);
        const std::vector<std::string> read = fuzz::AllLines(source);
        FUZZ_CHECK(read == lines, "text " + fuzz::Quoted(text) + "\nread as\n" + fuzz::Joined(read) +
                                      "expected\n" + fuzz::Joined(lines));
        FUZZ_CHECK(source.readsAfterEnd >= 1, "all lines read before the end of the text");
    }

    // The lookup, and where it leaves the reader.
    const fuzz::ReferenceName expected = fuzz::ReferenceLookUp(lines, expectedKeys);
    fuzz::ChunkedText source(text, chunkBytes, readPattern);
    const std::string name = sysinfo::LookUpProcessorName(source, *keys);
    FUZZ_CHECK(name == expected.name, what + " name " + fuzz::Quoted(name) + " expected " +
                                          fuzz::Quoted(expected.name) + "\nfile\n" + fuzz::Joined(lines));
    const std::vector<std::string> after = fuzz::AllLines(source);
    FUZZ_CHECK(after == std::vector<std::string>(
                            lines.begin() + static_cast<std::ptrdiff_t>(expected.linesRead), lines.end()),
               what + " the lookup read " + std::to_string(lines.size() - after.size()) +
                   " lines, expected " + std::to_string(expected.linesRead));

    // The in-memory line source gives the same name.
    framework::TextLineSource memory(text);
    FUZZ_CHECK(sysinfo::LookUpProcessorName(memory, *keys) == expected.name, what + " in memory");
    return 0;
}
