// Loads d3d8.dll the plain way (LoadLibraryA with the bare name, so the program's
// own folder is searched first), as a program that does not guard against a
// planted d3d8.dll does: it shows the tests that their plant would be found.
// Exit status: 0 when some d3d8.dll loaded, 1 when none did.
#include <windows.h>

int main() {
    return ::LoadLibraryA("d3d8.dll") != nullptr ? 0 : 1;
}
