// korvane-cli's BBCode (--bbcode FILE): the console's tables inside [code], for
// phpBB and forums like it, which have no table tag. Platform-free.
#pragma once

#include <string>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"

namespace cli {

std::string CompareBBCode(const Comparison& comparison, const std::string& basePath,
                          const std::string& newPath);

std::string MergeBBCode(const Merge& merge);

} // namespace cli
