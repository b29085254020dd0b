// The operating system's name from its major and minor version numbers.
// Platform-free.
#pragma once

#include <string>

namespace sysinfo {

// 3.x "Microsoft Windows 95"; 4.0 "Microsoft Windows NT 4.0", 4.10 "Microsoft
// Windows 98", 4.90 "Microsoft Windows ME", other 4.x "MS Windows 4.0"; 5.0
// "Microsoft Windows 2000", 5.1 "Microsoft Windows XP", 5.2 "Microsoft Windows
// Server 2003", later 5.x "MS Windows 5.x"; any other major version "Next
// Generation Windows".
std::string OsNameFor(unsigned major, unsigned minor);

} // namespace sysinfo
