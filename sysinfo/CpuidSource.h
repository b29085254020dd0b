// Where CPUID answers come from: the processor itself, or a recorded set of
// register values (a dump of another machine, or a test's own values).
// Platform-free.
#pragma once

#include <cstdint>
#include <map>

namespace sysinfo {

struct CpuidRegisters {
    std::uint32_t eax = 0;
    std::uint32_t ebx = 0;
    std::uint32_t ecx = 0;
    std::uint32_t edx = 0;
};

inline bool operator==(const CpuidRegisters& a, const CpuidRegisters& b) {
    return a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

class CpuidSource {
public:
    virtual ~CpuidSource() = default;
    // The four registers after CPUID with EAX = `leaf`.
    virtual CpuidRegisters Query(std::uint32_t leaf) = 0;
};

// Executes the CPUID instruction on the processor this program runs on.
CpuidSource& MachineCpuid();

// Register values recorded per leaf; a leaf that was not recorded reads as zeros.
class RecordedCpuid : public CpuidSource {
public:
    // Keeps the first registers recorded for a leaf; false when the leaf was already there.
    bool Record(std::uint32_t leaf, const CpuidRegisters& registers);
    bool Has(std::uint32_t leaf) const { return leaves_.count(leaf) != 0; }
    std::size_t LeafCount() const { return leaves_.size(); }

    CpuidRegisters Query(std::uint32_t leaf) override;

private:
    std::map<std::uint32_t, CpuidRegisters> leaves_;
};

} // namespace sysinfo
