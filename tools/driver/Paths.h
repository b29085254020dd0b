// Path texts: Unix paths as CTest hands them over, turned into the drive Z: paths
// through which Wine shows the host's file system; joining path pieces.
#pragma once

#include <string>
#include <string_view>

namespace driver {

// "/a/b" becomes "Z:\a\b"; a path that does not start with "/" is returned with
// its forward slashes turned into backslashes.
std::string WindowsPathFromUnix(std::string_view path);

// `folder` + "\" + `name`, without doubling a separator that `folder` already ends in.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part of a path: everything before the last backslash.
std::string ParentFolder(std::string_view path);

// Case-insensitive comparison of two paths or other ASCII texts.
bool EqualsIgnoringCase(std::string_view left, std::string_view right);

} // namespace driver
