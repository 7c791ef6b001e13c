#pragma once

#include <fstream>
#include <string>

namespace morvast::bench {

// Private memory (clean and dirty) of the whole process in KiB: what a load really costs, unlike
// the resident size, which also counts shared libraries paged in.
inline long privateKiB() {
    std::ifstream in("/proc/self/smaps_rollup");
    long total = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("Private_Clean:") || line.starts_with("Private_Dirty:"))
            total += std::stol(line.substr(line.find(':') + 1));
    }
    return total;
}

}  // namespace morvast::bench
