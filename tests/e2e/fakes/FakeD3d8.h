// What the tests' fake d3d8.dll shows of itself (FakeD3d8.cpp).
#pragma once

namespace e2e {

// Its adapter's description: this text, then the full path it was loaded from.
constexpr char kFakeAdapterPrefix[] = "Korvane test fake d3d8 at ";
// Loading it leaves the file <its path> + this suffix.
constexpr char kFakeMarkerSuffix[] = ".loaded";

} // namespace e2e
