// Stand-ins for the processor, cpudef.dat, the vendor report and the counters,
// shared by the processor tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/FileError.h"
#include "framework/LineSource.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidSource.h"

namespace cputest {

// Puts the process-wide record and flags back to how a program starts.
inline void ResetProcessState() {
    sysinfo::TheCpuDescription() = sysinfo::CpuDescription{};
    sysinfo::descriptionLoaded = false;
    sysinfo::clockMeasured = false;
}

// Leaf 0 for a twelve-character vendor identification (EBX, EDX, ECX).
inline sysinfo::CpuidRegisters VendorLeaf(const char* identification, std::uint32_t highestLeaf = 2) {
    char bytes[12] = {};
    std::memcpy(bytes, identification, std::min<std::size_t>(12, std::strlen(identification)));
    const auto word = [&](int offset) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 3])) << 24;
    };
    return {highestLeaf, word(0), word(8), word(4)};
}

// Recorded registers that also keep the leaves asked for, in order.
class LoggingCpuid : public sysinfo::RecordedCpuid {
public:
    sysinfo::CpuidRegisters Query(std::uint32_t leaf) override {
        queried.push_back(leaf);
        return RecordedCpuid::Query(leaf);
    }
    int TimesQueried(std::uint32_t leaf) const {
        int times = 0;
        for (const std::uint32_t asked : queried) {
            times += asked == leaf ? 1 : 0;
        }
        return times;
    }
    std::vector<std::uint32_t> queried;
};

// A processor as a register set: vendor, leaf 1 EAX and any further leaves.
inline LoggingCpuid Processor(const char* vendor, std::uint32_t signature,
                              std::vector<std::pair<std::uint32_t, sysinfo::CpuidRegisters>> leaves = {}) {
    LoggingCpuid cpuid;
    cpuid.Record(0, VendorLeaf(vendor));
    cpuid.Record(1, {signature, 0, 0, 0});
    for (const auto& [leaf, registers] : leaves) {
        cpuid.Record(leaf, registers);
    }
    return cpuid;
}

// cpudef.dat as a text in memory, counting how often it is opened and closed.
// It can refuse to open, or fail after a number of lines, as a locked or broken
// file does.
class DefinitionsFile {
public:
    explicit DefinitionsFile(std::string text) : text_(std::move(text)) {}

    void RefuseToOpen() { refuseToOpen_ = true; }
    void FailAfterLines(int lines) { failAfterLines_ = lines; }

    sysinfo::CpuInfo::DefinitionsOpener Opener() {
        return [this]() -> std::unique_ptr<framework::LineSource> {
            if (refuseToOpen_) {
                throw framework::FileError("cpudef.dat", "The system cannot find the file specified.");
            }
            ++opened;
            return std::make_unique<Lines>(*this);
        };
    }

    bool IsOpen() const { return opened != closed; }

    int opened = 0;
    int closed = 0;
    int linesRead = 0;

private:
    class Lines : public framework::LineSource {
    public:
        explicit Lines(DefinitionsFile& file) : file_(file), lines_(file.text_) {}
        ~Lines() override { ++file_.closed; }
        bool ReadLine(std::string& line) override {
            if (file_.failAfterLines_ >= 0 && file_.linesRead >= file_.failAfterLines_) {
                throw framework::FileError("cpudef.dat", "The device is not ready.");
            }
            const bool read = lines_.ReadLine(line);
            file_.linesRead += read ? 1 : 0;
            return read;
        }

    private:
        DefinitionsFile& file_;
        framework::TextLineSource lines_;
    };

    std::string text_;
    bool refuseToOpen_ = false;
    int failAfterLines_ = -1;
};

// Counts the vendor reports and notes whether cpudef.dat was open at the time.
struct VendorReports {
    explicit VendorReports(const DefinitionsFile* file = nullptr) : file_(file) {}

    sysinfo::CpuInfo::VendorErrorReporter Reporter() {
        return [this](const char* text) {
            texts.emplace_back(text);
            fileOpenWhenReported = fileOpenWhenReported || (file_ != nullptr && file_->IsOpen());
        };
    }

    std::vector<std::string> texts;
    bool fileOpenWhenReported = false;

private:
    const DefinitionsFile* file_;
};

// Counters that a test sets; logs every call.
class ScriptedClock : public sysinfo::ClockSource {
public:
    std::uint64_t frequency = 0;
    std::uint64_t counters[2] = {0, 0};
    std::uint64_t cycles[2] = {0, 0};
    std::vector<std::string> calls;

    std::uint64_t PerformanceFrequency() override {
        calls.emplace_back("frequency");
        return frequency;
    }
    std::uint64_t PerformanceCounter() override {
        calls.emplace_back("counter");
        return counters[counterReads_++ % 2];
    }
    std::uint64_t TimeStampCounter() override {
        calls.emplace_back("cycles");
        return cycles[cycleReads_++ % 2];
    }
    void Pause(unsigned milliseconds) override { calls.push_back("pause " + std::to_string(milliseconds)); }

private:
    int counterReads_ = 0;
    int cycleReads_ = 0;
};

} // namespace cputest
