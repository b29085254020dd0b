// Fuzz target: the game command line over any scene, renderer, detail level,
// resolution text, game folder and current directory, of any length and content.
// A line is given exactly when it fits the 280-byte buffer with its terminating
// zero and no value holds a zero byte; a given line is the template with the
// three values put in unchanged, at most 279 characters long.
//
// Input: scene, flags (OpenGL, High, keep zero bytes), resolution choice,
// resolution text length, game folder length (2 bytes), current directory length
// (2 bytes); then the bytes the texts are cut from, taken round as often as needed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "bench/BenchOptions.h"

namespace {

constexpr std::size_t kLongestPath = 330;
const std::string kExecutableInFolder = "\\system\\UT2003.exe";

// Bytes taken round from a pool, so that a short input still gives long paths.
class BytePool {
public:
    BytePool(std::string bytes, bool keepZeroBytes) : bytes_(std::move(bytes)) {
        if (bytes_.empty()) {
            bytes_ = "a";
        }
        if (!keepZeroBytes) {
            for (char& c : bytes_) {
                c = c == '\0' ? '_' : c;
            }
        }
    }
    std::string Take(std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += bytes_[next_++ % bytes_.size()];
        }
        return text;
    }

private:
    std::string bytes_;
    std::size_t next_ = 0;
};

// The pieces of a template around its "%s" markers.
std::vector<std::string> Pieces(const std::string& templateText) {
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t marker = templateText.find("%s"); marker != std::string::npos;
         marker = templateText.find("%s", begin)) {
        pieces.push_back(templateText.substr(begin, marker - begin));
        begin = marker + 2;
    }
    pieces.push_back(templateText.substr(begin));
    return pieces;
}

struct Filled {
    std::string text;
    std::vector<std::size_t> offsets; // where each value starts
};

Filled Fill(const std::vector<std::string>& pieces, const std::vector<const std::string*>& values) {
    Filled filled;
    filled.text = pieces[0];
    for (std::size_t i = 0; i < values.size(); ++i) {
        filled.offsets.push_back(filled.text.size());
        filled.text += *values[i] + pieces[i + 1];
    }
    return filled;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::size_t sceneIndex = input.Byte() % bench::SceneTable().size();
    const std::uint8_t flags = input.Byte();
    const bench::Renderer renderer = (flags & 1) != 0 ? bench::Renderer::OpenGL : bench::Renderer::Direct3D;
    const bench::Detail detail = (flags & 2) != 0 ? bench::Detail::High : bench::Detail::Low;
    const bool keepZeroBytes = (flags & 4) != 0;
    const std::uint8_t resolutionChoice = input.Byte() % (bench::ResolutionTable().size() + 2);
    const std::size_t resolutionLength = input.Byte() % 20;
    const std::size_t folderLength = input.Word16() % kLongestPath;
    const std::size_t directoryLength = input.Word16() % kLongestPath;
    BytePool pool(input.Rest(), keepZeroBytes);

    const std::string gameFolder = pool.Take(folderLength);
    const std::string currentDirectory = pool.Take(directoryLength);
    std::string resolution;
    if (resolutionChoice < bench::ResolutionTable().size()) {
        resolution = bench::ResolutionTable()[resolutionChoice].text;
    } else if (resolutionChoice == bench::ResolutionTable().size() + 1) {
        resolution = pool.Take(resolutionLength);
    }
    const std::string gameExecutable = gameFolder + kExecutableInFolder;
    const std::string what = "scene " + std::to_string(sceneIndex) + " flags " + std::to_string(flags) +
                             "\nfolder " + fuzz::Quoted(gameFolder) + "\ndirectory " +
                             fuzz::Quoted(currentDirectory) + "\nresolution " + fuzz::Quoted(resolution);

    // The ini arguments: the template with the current directory in its one "%s".
    const std::vector<std::string> iniPieces = Pieces(bench::IniArgumentsTemplate(renderer, detail));
    FUZZ_CHECK(iniPieces.size() == 2, what);
    const std::string iniArguments = bench::FormatIniArguments(renderer, detail, currentDirectory);
    FUZZ_CHECK(iniArguments == Fill(iniPieces, {&currentDirectory}).text,
               what + "\nini arguments " + fuzz::Quoted(iniArguments));

    // The command line.
    const bench::SceneRow& scene = bench::SceneTable()[sceneIndex];
    FUZZ_CHECK(scene.index == static_cast<int>(sceneIndex), what);
    const std::vector<std::string> pieces = Pieces(scene.commandLineTemplate);
    FUZZ_CHECK(pieces.size() == 4 && pieces[0].empty() && pieces[2] == " -" && pieces[3].empty(), what);
    const Filled expected = Fill(pieces, {&gameExecutable, &iniArguments, &resolution});
    const bool holdsZero = expected.text.find('\0') != std::string::npos;
    const bool fits = expected.text.size() + 1 <= bench::kCommandLineBytes;

    const std::optional<std::string> line =
        bench::ComposeCommandLine(scene, gameExecutable, iniArguments, resolution);
    FUZZ_CHECK(line.has_value() == (fits && !holdsZero),
               what + "\ncomposed length " + std::to_string(expected.text.size()) +
                   (line ? " given" : " refused") + (holdsZero ? ", holds a zero byte" : ""));
    if (line) {
        FUZZ_CHECK(*line == expected.text, what + "\nline " + fuzz::Quoted(*line));
        FUZZ_CHECK(line->size() <= bench::kCommandLineBytes - 1 && std::strlen(line->c_str()) == line->size(),
                   what);
        FUZZ_CHECK(line->compare(expected.offsets[0], gameExecutable.size(), gameExecutable) == 0 &&
                       expected.offsets[0] == 0,
                   what);
        FUZZ_CHECK(line->compare(expected.offsets[1], iniArguments.size(), iniArguments) == 0, what);
        FUZZ_CHECK(line->compare(expected.offsets[2], resolution.size(), resolution) == 0 &&
                       expected.offsets[2] + resolution.size() == line->size(),
                   what);
    }

    // The room the longest templates leave: with scene 4 or 5 and "1600x1200",
    // the game folder and the current directory have 46 characters together.
    if ((sceneIndex == 4 || sceneIndex == 5) && resolution == "1600x1200" && !holdsZero) {
        FUZZ_CHECK(line.has_value() == (gameFolder.size() + currentDirectory.size() <= 46), what);
    }
    return 0;
}
