// Path texts for the driver.
#include "driver/Paths.h"

#include <cctype>

namespace driver {

std::string WindowsPathFromUnix(std::string_view path) {
    std::string result;
    if (!path.empty() && path.front() == '/') {
        result = "Z:";
    }
    for (const char c : path) {
        result.push_back(c == '/' ? '\\' : c);
    }
    return result;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string result(folder);
    if (!result.empty() && result.back() != '\\') {
        result.push_back('\\');
    }
    result.append(name);
    return result;
}

std::string ParentFolder(std::string_view path) {
    const std::string_view::size_type slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::string_view::size_type i = 0; i < left.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(left[i])) !=
            std::tolower(static_cast<unsigned char>(right[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace driver
