// What it costs korvane-cli to rewrite its three files after a scene run, for a
// report of 300 scene runs: the JSON report, the CSV file and the page made from
// the call, each put in place through its flushed pending file. Prints the
// milliseconds of each rewrite and their median and largest.
// Usage: korvane-rewrite-cost FOLDER [REWRITES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/ReportSamples.h"
#include "cli/output/Csv.h"
#include "cli/output/Html.h"
#include "cli/output/Json.h"
#include "cli/run/Encoding.h"
#include "cli/run/Files.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvane-rewrite-cost FOLDER [REWRITES]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rewrites = argc > 2 ? std::atoi(argv[2]) : 20;
    // Two resolutions of all six scenes, 25 runs each: 300 scene runs.
    const cli::CallReport call = samples::FullCall(1.0, 25, {"640x480", "1600x1200"});
    std::vector<double> times;
    std::size_t bytes = 0;
    for (int i = 0; i < rewrites; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::string texts[] = {cli::ReportJson(call, cli::AnsiToUtf8), cli::ReportCsv(call),
                                     cli::ReportHtml(call, cli::AnsiToUtf8)};
        const char* names[] = {"r.json", "r.csv", "r.html"};
        bytes = 0;
        for (int file = 0; file < 3; ++file) {
            std::string problem;
            if (!cli::ReplaceFile(folder + "\\" + names[file], texts[file], problem)) {
                std::fprintf(stderr, "%s: %s\n", names[file], problem.c_str());
                return 1;
            }
            bytes += texts[file].size();
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        std::printf("rewrite %2d: %6.1f ms\n", i + 1, times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("300 scene runs, 3 files of %zu bytes in all: median %.1f ms, largest %.1f ms per rewrite\n",
                bytes, times[times.size() / 2], times.back());
    return 0;
}
