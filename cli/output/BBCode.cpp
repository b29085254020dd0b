// BBCode: a bold title and the fixed-width tables in [code].
#include "cli/output/BBCode.h"

#include "cli/output/Text.h"

namespace cli {

namespace {

// `text` inside [code]: a "[/code]" in it would end the block early.
std::string CodeBlock(std::string text) {
    for (std::size_t at = text.find("[/code]"); at != std::string::npos; at = text.find("[/code]", at)) {
        text.replace(at, 7, "[ /code]");
    }
    return "[code]\n" + text + "[/code]\n";
}

} // namespace

std::string CompareBBCode(const Comparison& comparison, const std::string& basePath,
                          const std::string& newPath) {
    return "[b]" + std::string(kProgramName) + " compare[/b]\n" +
           CodeBlock(CompareText(comparison, basePath, newPath));
}

std::string MergeBBCode(const Merge& merge) {
    std::string warnings;
    for (const std::string& warning : merge.warnings) {
        warnings += "[i]Warning:[/i] " + warning + "\n";
    }
    return "[b]" + std::string(kProgramName) + " merge[/b]\n" + warnings + CodeBlock(MergeTables(merge));
}

} // namespace cli
