// The table of operating-system names.
#include "sysinfo/OsNames.h"

namespace sysinfo {

std::string OsNameFor(unsigned major, unsigned minor) {
    switch (major) {
    case 3:
        return "Microsoft Windows 95";
    case 4:
        switch (minor) {
        case 0:
            return "Microsoft Windows NT 4.0";
        case 10:
            return "Microsoft Windows 98";
        case 90:
            return "Microsoft Windows ME";
        default:
            return "MS Windows 4.0";
        }
    case 5:
        switch (minor) {
        case 0:
            return "Microsoft Windows 2000";
        case 1:
            return "Microsoft Windows XP";
        case 2:
            // Also what XP Professional x64 Edition reports.
            return "Microsoft Windows Server 2003";
        default:
            return "MS Windows 5.x";
        }
    default:
        return "Next Generation Windows";
    }
}

} // namespace sysinfo
