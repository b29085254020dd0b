// A text file opened read-only and read one line at a time (CR LF or LF ends a
// line). Opening or reading it throws FileError naming the path and the cause.
#pragma once

#include <string>

#include "framework/FileError.h"
#include "framework/Handles.h"
#include "framework/LineSource.h"

namespace framework {

class TextFileReader : public LineSource {
public:
    // Opens `path`; throws FileError when it cannot be opened. Other programs may
    // keep the file open for reading and writing while it is read.
    explicit TextFileReader(std::string path);

    bool ReadLine(std::string& line) override;
    bool LineWasCut() const override { return reader_.LineWasCut(); }
    void Close() noexcept { file_.reset(); }
    const std::string& Path() const noexcept { return path_; }

private:
    std::size_t ReadBytes(char* buffer, std::size_t size);

    std::string path_;
    UniqueFile file_;
    ChunkLineReader reader_;
};

} // namespace framework
