// Korvane's version: the details list, the About window, the version information
// of both programs and korvane-cli's --version take it from here, and CMake reads
// the release name for the release folder and zip.
#ifndef KORVANE_RES_VERSION_H
#define KORVANE_RES_VERSION_H
#define KORVANE_VERSION_TEXT "1.00 Alpha1"
#define KORVANE_RELEASE_NAME "1.00-alpha1"
#define KORVANE_FILE_VERSION 1, 0, 0, 1
#define KORVANE_FILE_VERSION_TEXT "1.0.0.1"
#endif
