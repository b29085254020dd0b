// The files a command writes (--json, --csv, --html): every path checked before
// any file is touched, then each file replaced whole, for a benchmark call when
// it starts, after every scene run and at its end. A file that cannot be written
// is reported once, the run goes on, and it is tried again next time. Win32.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/run/Console.h"
#include "cli/run/Files.h"

namespace cli {

class OutputFiles {
public:
    using Text = std::function<std::string()>;

    explicit OutputFiles(const FileCalls& calls = FileCalls()) : calls_(calls) {}

    // A file named by `option` (none when `path` is empty). The report, whose
    // exit status tells whether the others hold the results, is written last.
    void Add(const char* option, const std::string& path, Text text, bool isReport = false);

    // True when every file can be written and none names another, or one of the
    // `inputs` (files the call reads, with what names them); otherwise false with
    // the message. No file is changed.
    bool Check(const std::vector<std::pair<std::string, std::string>>& inputs, std::string& message) const;

    // Writes every file, the report last; `failed` (when given) says before each
    // file whether one written before it does not hold what it was just given,
    // and after them whether any does not. A file's first failure is printed, and
    // so is its next success; with `last`, a file that still fails is named again.
    // True when every file was written.
    bool Write(const ConsoleOutput& console, bool last = false, bool* failed = nullptr);

private:
    struct Output {
        const char* option;
        std::string path;
        Text text;
        bool isReport;
        bool failing = false;
        bool reported = false;
        std::string problem;
    };

    bool WriteOne(Output& output, const ConsoleOutput& console);

    FileCalls calls_;
    std::vector<Output> outputs_;
};

} // namespace cli
