// This test program's own path: its tests start it again as a stand-in "game".
#pragma once

#include <string>

std::string OwnPath();
