// A processor as recorded registers, cpudef.dat as a text, and a clock a test
// sets, with a record of what CpuInfo did with them: the leaves it asked for, how
// often the file was opened and closed, and the vendor errors it reported.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/FileError.h"
#include "framework/LineSource.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidSource.h"

namespace cputest {

using Leaves = std::vector<std::pair<std::uint32_t, sysinfo::CpuidRegisters>>;

// Puts the process-wide record and flags back to how a program starts.
inline void ResetProcessState() {
    sysinfo::TheCpuDescription() = sysinfo::CpuDescription{};
    sysinfo::descriptionLoaded = false;
    sysinfo::clockMeasured = false;
}

class LoggingCpuid : public sysinfo::RecordedCpuid {
public:
    sysinfo::CpuidRegisters Query(std::uint32_t leaf) override {
        queried.push_back(leaf);
        return RecordedCpuid::Query(leaf);
    }
    std::vector<std::uint32_t> queried;
};

class ScriptedClock : public sysinfo::ClockSource {
public:
    std::uint64_t frequency = 0;
    std::uint64_t counters[2] = {0, 0};
    std::uint64_t cycles[2] = {0, 0};
    std::string calls;

    std::uint64_t PerformanceFrequency() override { return calls += "f ", frequency; }
    std::uint64_t PerformanceCounter() override { return calls += "c ", counters[counterReads_++ % 2]; }
    std::uint64_t TimeStampCounter() override { return calls += "t ", cycles[cycleReads_++ % 2]; }
    void Pause(unsigned milliseconds) override { calls += "pause" + std::to_string(milliseconds) + " "; }

private:
    int counterReads_ = 0;
    int cycleReads_ = 0;
};

class Rig {
public:
    // Leaf 0 names `vendor` (EBX, EDX, ECX), leaf 1 has `signature` in EAX.
    Rig(const char* vendor, std::uint32_t signature, const Leaves& leaves = {}, std::string text = "")
        : definitions(std::move(text)) {
        ResetProcessState();
        char id[12] = {};
        std::memcpy(id, vendor, std::min<std::size_t>(12, std::strlen(vendor)));
        std::uint32_t words[3] = {};
        std::memcpy(words, id, sizeof words);
        cpuid.Record(0, {2, words[0], words[2], words[1]});
        cpuid.Record(1, {signature, 0, 0, 0});
        for (const auto& [leaf, registers] : leaves) {
            cpuid.Record(leaf, registers);
        }
    }
    ~Rig() { ResetProcessState(); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    sysinfo::CpuInfo Make() {
        return sysinfo::CpuInfo(
            cpuid,
            [this]() -> std::unique_ptr<framework::LineSource> {
                if (refuseToOpen) {
                    throw framework::FileError("cpudef.dat", "The system cannot find the file specified.");
                }
                ++opened;
                return std::make_unique<Lines>(*this);
            },
            [this](const char* text) {
                reports.emplace_back(text);
                openWhenReported = openWhenReported || opened != closed;
            },
            clock);
    }

    LoggingCpuid cpuid;
    ScriptedClock clock;
    std::string definitions;
    bool refuseToOpen = false;
    int failAfterLines = -1; // a read error after this many lines, as of a broken disk
    int opened = 0;
    int closed = 0;
    std::vector<std::string> reports;
    bool openWhenReported = false;

private:
    class Lines : public framework::LineSource {
    public:
        explicit Lines(Rig& rig) : rig_(rig), lines_(rig.definitions) {}
        ~Lines() override { ++rig_.closed; }
        bool ReadLine(std::string& line) override {
            if (rig_.failAfterLines == 0) {
                throw framework::FileError("cpudef.dat", "The device is not ready.");
            }
            --rig_.failAfterLines;
            return lines_.ReadLine(line);
        }

    private:
        Rig& rig_;
        framework::TextLineSource lines_;
    };
};

} // namespace cputest
