// Fuzz target: a report from another machine as compare and merge read it, whole
// or refused with a short message of what is wrong, never a crash; what is read
// is of a version this program writes and holds frame rates of the six scenes only.
#include <optional>

#include "FuzzSupport.h"
#include "cli/compare/ReportReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string problem;
    const std::optional<cli::ReportFile> report =
        cli::ReadReport(std::string(reinterpret_cast<const char*>(data), size), problem);
    FUZZ_CHECK(report.has_value() == problem.empty() && problem.size() < 400);
    FUZZ_CHECK(!report || (report->formatVersion >= 1 && report->formatVersion <= 3));
    for (const cli::ConfigurationValues& values :
         report ? cli::ValuesOf(*report).configurations : std::vector<cli::ConfigurationValues>()) {
        for (const auto& [scene, fps] : values.sceneFps) {
            FUZZ_CHECK(scene >= 0 && scene < 6 && !fps.empty());
        }
    }
    return 0;
}
