#include "SourceLines.h"

#include <fstream>

int SourceLine(const std::string& file, const std::string& function, const std::string& marker) {
    std::ifstream in(std::string(KOLV_SOURCE_DIR) + "/src/" + file);
    std::string line;
    bool inFunction = false;
    for (int number = 1; std::getline(in, line); ++number) {
        inFunction = inFunction || (line.find(function) != std::string::npos && line.back() == '{');
        if (inFunction && line.find(marker) != std::string::npos) {
            return number;
        }
    }
    return 0;
}
