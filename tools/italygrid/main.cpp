// Writes the synthetic stand-in of the Italian national grid that the tests
// use (engine/grids/tests/ItalianTestGrid.h), so that PROJ can be run on the
// very same file to make reference values.
//
//     italygrid FOLDER    writes FOLDER/35160622_47161840_R40_F00.gsb
#include "ItalianTestGrid.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::cerr << "usage: italygrid FOLDER\n";
        return 2;
    }
    const std::string path =
        std::string(argv[1]) + "/" + kavrotest::kItalianGridName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kavrotest::italianTestGrid();
    out.close();
    if (!out) {
        std::cerr << "italygrid: cannot write " << path << "\n";
        return 1;
    }
    std::cout << path << "\n";
    return 0;
}
