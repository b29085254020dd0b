// The program check-instruction-set.sh must refuse: built as the release programs are
// (the same compiler, floor, flags and static libraries), with one SSE2 instruction
// linked in from sse2.cpp. It is never run or shipped.
#include <cstdio>
#include <string>

extern "C" void korvane_planted_sse2();

int main(int argc, char** argv) {
    const std::string name = argc > 0 ? argv[0] : "";
    if (argc > 1)
        korvane_planted_sse2();
    std::printf("%s\n", name.c_str());
    return 0;
}
