// boxcheck <shapefile> -YMIN <value>: tells whether a shapefile's extent lies
// inside the box of the Gauss-Boaga West zone. The answer is the exit status
// (0 cannot open the file, 1 wrong parameters, 2 inside, 3 partially inside,
// 4 completely outside) and, in words, the fifth output line.
#include "BoxCheck.h"

#include <iostream>

int main(int argc, char *argv[]) {
    std::vector<std::string> lines;
    const BoxAnswer answer = checkBox(argc, argv, lines);
    for (const std::string &line : lines)
        std::cout << line << '\n';
    std::cout.flush();
    return static_cast<int>(answer);
}
