// korvane-cli's Markdown (--markdown FILE): tables that paste into a forum post
// or an issue, of a comparison and of a merge. Platform-free.
#pragma once

#include <string>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"

namespace cli {

// Per configuration a table of each scene and the score: both means, the
// difference and its interval; then the verdict.
std::string CompareMarkdown(const Comparison& comparison, const std::string& basePath,
                            const std::string& newPath);

// The reports and their labels, the ranking by index, and per configuration a
// table of each report's scenes, score and score against the reference.
std::string MergeMarkdown(const Merge& merge);

// `text` with the characters that Markdown reads inside a table escaped: the
// cell's edge, emphasis, code, links and tags.
std::string MarkdownText(const std::string& text);

} // namespace cli
