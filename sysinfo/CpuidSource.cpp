// The processor's own CPUID and the recorded register sets.
#include "sysinfo/CpuidSource.h"

#include <cpuid.h>

namespace sysinfo {

namespace {

class ProcessorCpuid : public CpuidSource {
public:
    CpuidRegisters Query(std::uint32_t leaf) override {
        CpuidRegisters registers;
        unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
        // Subleaf 0, so that ECX going in is defined; the leaves read here ignore it.
        __cpuid_count(leaf, 0, eax, ebx, ecx, edx);
        registers.eax = eax;
        registers.ebx = ebx;
        registers.ecx = ecx;
        registers.edx = edx;
        return registers;
    }
};

} // namespace

CpuidSource& MachineCpuid() {
    static ProcessorCpuid processor;
    return processor;
}

bool RecordedCpuid::Record(std::uint32_t leaf, const CpuidRegisters& registers) {
    return leaves_.emplace(leaf, registers).second;
}

CpuidRegisters RecordedCpuid::Query(std::uint32_t leaf) {
    const auto found = leaves_.find(leaf);
    return found == leaves_.end() ? CpuidRegisters{} : found->second;
}

} // namespace sysinfo
