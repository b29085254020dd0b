// One SSE2 instruction (paddq on xmm registers), which no processor before the
// Pentium 4 and the Athlon 64 runs: the fault check-instruction-set.sh must name.
extern "C" void korvane_planted_sse2() {
    __asm__ volatile("paddq %xmm1, %xmm0");
}
