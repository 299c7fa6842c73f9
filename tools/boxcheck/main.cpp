// boxcheck <shapefile> -YMIN <value>: tells whether a shapefile's extent lies
// inside the box of the Gauss-Boaga West zone. The answer is the exit status
// (0 cannot open the file, 1 wrong parameters, 2 inside, 3 partially inside,
// 4 completely outside) and, in words, the fifth output line.
#include "BoxCheck.h"

#include <cstdio>

int main(int argc, char *argv[]) {
    std::vector<std::string> lines;
    const BoxAnswer answer = checkBox(argc, argv, lines);
    // stdio, not iostream: the streams' set-up would cost more than the
    // check itself.
    for (const std::string &line : lines) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    return static_cast<int>(answer);
}
