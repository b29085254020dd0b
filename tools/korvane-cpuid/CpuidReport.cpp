// The korvane-cpuid report.
#include "tools/korvane-cpuid/CpuidReport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "framework/FileError.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidDump.h"

namespace cpuidtool {

namespace {

constexpr char kUsage[] = "usage: korvane-cpuid [--cpudef PATH] [DUMP]\n"
                          "  DUMP: CPUID dump, one leaf a line: CPUID 00000001: EAX-EBX-ECX-EDX\n"
                          "        (hexadecimal); without it, this machine's CPUID\n"
                          "  --cpudef PATH: the definitions file (default: cpudef.dat here)\n";

class FileLines : public framework::LineSource {
public:
    explicit FileLines(std::string path)
        : path_(std::move(path)), file_(std::fopen(path_.c_str(), "rb")),
          reader_([this](char* buffer, std::size_t size) { return ReadBytes(buffer, size); }) {
        if (!file_) {
            throw framework::FileError(path_, std::strerror(errno));
        }
    }
    FileLines(const FileLines&) = delete;
    FileLines& operator=(const FileLines&) = delete;

    bool ReadLine(std::string& line) override { return reader_.ReadLine(line); }

private:
    struct CloseFile {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };

    std::size_t ReadBytes(char* buffer, std::size_t size) {
        const std::size_t got = std::fread(buffer, 1, size, file_.get());
        if (got == 0 && std::ferror(file_.get()) != 0) {
            throw framework::FileError(path_, "read error");
        }
        return got;
    }

    std::string path_;
    std::unique_ptr<std::FILE, CloseFile> file_;
    framework::ChunkLineReader reader_;
};

struct Options {
    std::optional<std::string> dumpPath;
    std::string definitionsPath = sysinfo::kDefinitionsFileName;
};

// The options, or nothing after a usage message on `errors`.
std::optional<Options> ParseArguments(const std::vector<std::string>& arguments, std::ostream& errors) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--cpudef") {
            if (i + 1 == arguments.size()) {
                errors << "korvane-cpuid: --cpudef needs a path\n" << kUsage;
                return std::nullopt;
            }
            options.definitionsPath = arguments[++i];
        } else if (argument == "--help" || argument == "-h") {
            errors << kUsage;
            return std::nullopt;
        } else if (argument.size() > 1 && argument[0] == '-') {
            errors << "korvane-cpuid: unknown option " << argument << "\n" << kUsage;
            return std::nullopt;
        } else if (options.dumpPath) {
            errors << "korvane-cpuid: one dump at a time\n" << kUsage;
            return std::nullopt;
        } else {
            options.dumpPath = argument;
        }
    }
    return options;
}

} // namespace

std::unique_ptr<framework::LineSource> OpenTextFile(const std::string& path) {
    return std::make_unique<FileLines>(path);
}

int RunCpuidReport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors) {
    const std::optional<Options> options = ParseArguments(arguments, errors);
    if (!options) {
        return kReportFailed;
    }

    sysinfo::RecordedCpuid dump;
    if (options->dumpPath) {
        try {
            dump = sysinfo::ReadCpuidDump(*OpenTextFile(*options->dumpPath));
        } catch (const framework::FileError& error) {
            errors << "korvane-cpuid: " << error.what() << "\n";
            return kReportFailed;
        }
        if (dump.LeafCount() == 0) {
            errors << "korvane-cpuid: " << *options->dumpPath << " holds no line \"CPUID llllllll: "
                   << "aaaaaaaa-bbbbbbbb-cccccccc-dddddddd\"\n";
            return kReportFailed;
        }
    }
    sysinfo::CpuidSource& cpuid =
        options->dumpPath ? static_cast<sysinfo::CpuidSource&>(dump) : sysinfo::MachineCpuid();

    // The report stands for a fresh start of Korvane: a record of its own, so the
    // lookup runs in the constructor.
    sysinfo::CpuDescription description;
    bool vendorError = false;
    bool definitionsUnreadable = false;
    // The report measures no clock.
    sysinfo::StoppedClock noClock;
    const std::string definitionsPath = options->definitionsPath;
    const sysinfo::CpuInfo cpu(
        cpuid,
        [&]() -> std::unique_ptr<framework::LineSource> {
            try {
                return OpenTextFile(definitionsPath);
            } catch (const framework::FileError& error) {
                errors << "korvane-cpuid: " << error.what() << "\n";
                definitionsUnreadable = true;
                throw;
            }
        },
        [&](const char* text) {
            errors << text << "\n";
            vendorError = true;
        },
        noClock, description);

    const std::optional<sysinfo::DefinitionKeys> keys =
        sysinfo::DefinitionKeysFor(cpu.vendor, cpu.family, cpu.model, cpu.l2Kb);
    const std::string& processorName = description.processorName;
    definitionsUnreadable = definitionsUnreadable || processorName == sysinfo::kDefinitionsUnreadableName;

    out << "vendor: " << cpu.vendor << "\n"
        << "family: " << cpu.family << "\n"
        << "model: " << cpu.model << "\n"
        << "stepping: " << cpu.stepping << "\n"
        << "l1DataKb: " << cpu.l1DataKb << "\n"
        << "l1CodeKb: " << cpu.l1CodeKb << "\n"
        << "l2Kb: " << cpu.l2Kb << "\n"
        << "sectionKey: " << (keys ? keys->sectionKey : std::string()) << "\n"
        << "processorName: " << processorName << "\n";
    out.flush();
    return vendorError || definitionsUnreadable ? kReportIncomplete : kReportComplete;
}

} // namespace cpuidtool
