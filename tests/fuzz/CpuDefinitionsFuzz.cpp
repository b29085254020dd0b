// Fuzz target: cpudef.dat keys and lookup: a name found stands two lines after its
// key, and a section put in front of the file is found.
#include "FuzzSupport.h"
#include "sysinfo/CpuDefinitions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string vendors[] = {"AuthenticAMD", "GenuineIntel",  "CyrixInstead",
                                          "CentaurHauls", "RiseRiseRise",  "Unknown",
                                          "genuineintel", "GenuineIntel ", ""};
    constexpr int level2Sizes[] = {0, 128, 256, 512, 1024, 64, -1};
    fuzz::Input input{data, size};
    const auto [vendorChoice, signature, level2Choice, anyLevel2, chunk, pattern] = std::array{
        input.Take() % 9, input.Take(), input.Take() % 8, input.Take(4), input.Take(), input.Take()};
    const std::string& vendor = vendors[vendorChoice];
    const int l2Kb = level2Choice < 7 ? level2Sizes[level2Choice] : static_cast<int>(anyLevel2);
    const std::string text = input.Rest(); // the file; signature is family << 4 | model

    const int number = sysinfo::VendorNumber(vendor);
    const auto keys = sysinfo::DefinitionKeysFor(vendor, int(signature >> 4), int(signature & 15), l2Kb);
    FUZZ_CHECK(number >= 0 && number <= 5 && keys.has_value() == (number != 0));
    if (!keys) {
        return 0;
    }
    const std::string& section = keys->sectionKey;
    FUZZ_CHECK(section.size() == 8 && std::strtoul(&section[5], nullptr, 16) == signature &&
               keys->cacheKey == (number == 2 ? "[" + std::to_string(l2Kb) + "]" : ""));

    const std::vector<std::string> lines = fuzz::CheckedLines(fuzz::Chunked(text, chunk, pattern), text);
    auto file = fuzz::Chunked(text, chunk, pattern);
    const std::string name = sysinfo::LookUpProcessorName(file, *keys);
    const std::size_t read = lines.size() - fuzz::LinesLeft(file).size();
    const std::string& key = keys->seeksVariant ? keys->cacheKey : section;
    FUZZ_CHECK(read == lines.size() || (read >= 8 && lines[read - 8] == key && lines[read - 6] == name));
    framework::TextLineSource inFront(section + "\r\n" + (keys->seeksVariant ? keys->cacheKey + "\n" : "") +
                                      "1\nname in front\r\n3\n4\n5\n6\n7\n" + text);
    FUZZ_CHECK(sysinfo::LookUpProcessorName(inFront, *keys) == "name in front" &&
               fuzz::LinesLeft(inFront) == lines);
    return 0;
}
