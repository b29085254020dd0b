// korvane-cli's arguments through the option table: what each command line
// parses to or the message that names what is wrong (tests/data/cli/args/),
// the configurations of a sweep in their order, and --help built from the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SourceTree.h"
#include "cli/args/Arguments.h"
#include "cli/args/OptionTable.h"

namespace {

// What the arguments parse to in one line, as tests/data/cli/args/arguments.txt has it.
std::string Describe(const std::vector<std::string>& arguments) {
    const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
    const cli::RunOptions& o = parsed.run;
    const cli::CompareOptions& c = parsed.compare;
    if (parsed.error.empty() && parsed.command == cli::Command::Merge) {
        const cli::MergeOptions& m = parsed.merge;
        std::string text = "merge";
        for (const std::string& path : m.paths) {
            text += " [" + path + "]";
        }
        text += " labels";
        for (const auto& [path, label] : m.labels) {
            text += " [" + path + "=" + label + "]";
        }
        text += m.labels.empty() ? " []" : "";
        return text + " reference [" + m.reference + "] files [" + m.jsonPath + "] [" + m.csvPath + "] [" +
               m.htmlPath + "] [" + m.markdownPath + "] [" + m.bbcodePath + "]";
    }
    if (!parsed.error.empty() || parsed.command == cli::Command::Compare) {
        return !parsed.error.empty()
                   ? "error: " + parsed.error
                   : "compare [" + c.basePath + "] [" + c.newPath + "] [" + c.jsonPath + "] " +
                         (c.failBelowPercent ? std::to_string(*c.failBelowPercent) : "-");
    }
    if (parsed.command == cli::Command::Resume) {
        return "resume [" + o.resumePath + "] " + (o.quiet ? "quiet" : "-");
    }
    std::string scenes;
    for (const bool chosen : o.plan.scenes) {
        scenes += chosen ? '1' : '0';
    }
    const auto join = [](const auto& values) {
        std::string joined;
        for (const auto& value : values) {
            joined += (joined.empty() ? "" : "+") + std::string(cli::NamesOf(value).name);
        }
        return joined;
    };
    std::string resolutions;
    for (const std::string& resolution : o.plan.resolutions) {
        resolutions += (resolutions.empty() ? "" : "+") + resolution;
    }
    const char* commands[] = {"run", "help", "version"};
    return std::string(commands[static_cast<int>(parsed.command)]) + " " + join(o.plan.renderers) + " " +
           join(o.plan.details) + " " + resolutions + " " + scenes + " " + std::to_string(o.plan.runs) + " " +
           (o.plan.timeoutSeconds ? std::to_string(*o.plan.timeoutSeconds) : "-") + " [" + o.jsonPath +
           "] [" + o.csvPath + "] " + (o.quiet ? "quiet" : "-");
}

// Run and compare, good arguments and each way of getting them wrong.
TEST(ArgumentsTest, OptionsOrTheMessageThatNamesABadArgument) {
    const std::vector<std::vector<std::string>> cases = sourcetree::ReadTable("cli/args/arguments.txt");
    EXPECT_GE(cases.size(), 60u);
    for (const std::vector<std::string>& row : cases) {
        std::vector<std::string> arguments;
        for (std::string rest = row[0]; !rest.empty();) {
            const std::size_t end = rest.find(" | ");
            arguments.push_back(rest.substr(0, end));
            rest = end == std::string::npos ? "" : rest.substr(end + 3);
        }
        EXPECT_EQ(Describe(arguments), row.at(1)) << row[0];
    }
}

TEST(ArgumentsTest, ConfigurationsRendererThenDetailThenResolutionInTheWindowsOrder) {
    const cli::RunPlan plan =
        cli::ParseArguments({"--renderer", "all", "--detail", "low,high", "--resolution", "800x600,640x480"})
            .run.plan;
    std::string texts;
    for (const cli::Configuration& configuration : cli::Configurations(plan)) {
        texts += cli::ConfigurationText(configuration) + "; ";
    }
    EXPECT_EQ(texts, "OpenGL ICD, High, 640x480; OpenGL ICD, High, 800x600; OpenGL ICD, Low, 640x480; "
                     "OpenGL ICD, Low, 800x600; Direct3D 8.1, High, 640x480; Direct3D 8.1, High, 800x600; "
                     "Direct3D 8.1, Low, 640x480; Direct3D 8.1, Low, 800x600; ");
    EXPECT_EQ(cli::Configurations(cli::RunPlan()).size(), 1u);
}

// Every option of the table has a line in --help, in its command's part, with
// its value's name, and the lists the messages name appear there too, once.
TEST(ArgumentsTest, HelpListsEveryOptionOfTheTable) {
    const std::string help = cli::HelpText();
    // Run's part, then compare's, then merge's.
    const std::size_t parts[] = {0, help.find("Usage: korvane-cli compare"),
                                 help.find("Usage: korvane-cli merge"), help.size()};
    ASSERT_LT(parts[1], parts[2]);
    for (const cli::OptionRow& row : cli::OptionTable()) {
        const int part = row.command == cli::Command::Compare ? 1
                         : row.command == cli::Command::Merge ? 2
                                                              : 0;
        EXPECT_LT(help.find(std::string("\n  ") + row.name, parts[part]), parts[part + 1]) << row.name;
    }
    for (const char* line :
         {"\n  --resolution WxH         640x480, 800x600, 1024x768, 1280x1024 or 1600x1200\n",
          "\n  --help, /?               this text\n",
          "(default three times the scene's length plus 60: 291)\n",
          "runs of every scene (default 3, at most 100); a scene\n"}) {
        const std::size_t at = help.find(line);
        EXPECT_TRUE(at != std::string::npos && help.find(line, at + 1) == std::string::npos)
            << "once: " << line;
    }
}

} // namespace
