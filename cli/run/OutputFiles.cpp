// The call's output files.
#include "cli/run/OutputFiles.h"

#include "cli/report/Plan.h"
#include "framework/Format.h"

namespace cli {

void OutputFiles::Add(const char* option, const std::string& path, Text text, bool isReport) {
    if (!path.empty()) {
        outputs_.push_back({option, path, std::move(text), isReport, false, false, std::string()});
    }
}

bool OutputFiles::Check(const std::vector<std::pair<std::string, std::string>>& inputs,
                        std::string& message) const {
    // Each file asked once what it is, however many it is held against.
    std::vector<FileKey> inputKeys, outputKeys;
    for (const auto& input : inputs) {
        inputKeys.push_back(KeyOf(input.second));
    }
    for (const Output& output : outputs_) {
        outputKeys.push_back(KeyOf(output.path));
    }
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        const Output& output = outputs_[i];
        for (std::size_t input = 0; input < inputs.size(); ++input) {
            if (SameFile(outputKeys[i], inputKeys[input])) {
                message = framework::Format("%s \"%s\" names %s", output.option, output.path.c_str(),
                                            inputs[input].first.c_str());
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (SameFile(outputKeys[i], outputKeys[j])) {
                message =
                    framework::Format("%s and %s name the same file", outputs_[j].option, output.option);
                return false;
            }
        }
        std::string problem;
        if (!CanReplace(output.path, problem)) {
            message = framework::Format("%s cannot write \"%s\": %s", output.option, output.path.c_str(),
                                        problem.c_str());
            return false;
        }
    }
    return true;
}

bool OutputFiles::WriteOne(Output& output, const ConsoleOutput& console) {
    if (ReplaceFile(output.path, output.text(), output.problem, calls_)) {
        if (output.failing) {
            console.printError(framework::Format("%s: %s \"%s\" is written again\n", kProgramName,
                                                 output.option, output.path.c_str()));
        }
        output.failing = false;
        return true;
    }
    output.failing = true;
    if (!output.reported) {
        output.reported = true;
        console.printError(framework::Format(
            "%s: %s could not write \"%s\": %s\n%s: the run goes on, and the file "
            "is written again after each scene run\n",
            kProgramName, output.option, output.path.c_str(), output.problem.c_str(), kProgramName));
    }
    return false;
}

bool OutputFiles::Write(const ConsoleOutput& console, bool last, bool* failed) {
    bool anyFailed = false;
    for (const bool reports : {false, true}) {
        for (Output& output : outputs_) {
            if (output.isReport == reports) {
                // The report says whether the files written before it hold the results.
                if (failed != nullptr) {
                    *failed = anyFailed;
                }
                anyFailed = !WriteOne(output, console) || anyFailed;
            }
        }
    }
    if (failed != nullptr) {
        *failed = anyFailed;
    }
    if (last) {
        for (const Output& output : outputs_) {
            if (output.failing) {
                console.printError(framework::Format("%s: %s \"%s\" does not hold the results: %s\n",
                                                     kProgramName, output.option, output.path.c_str(),
                                                     output.problem.c_str()));
            }
        }
    }
    return !anyFailed;
}

} // namespace cli
