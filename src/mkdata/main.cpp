#include "mkdata/CommandLine.h"

#include <iostream>

int main(int argc, char** argv) {
    return corvana::mkdata::RunMkdata(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr);
}
