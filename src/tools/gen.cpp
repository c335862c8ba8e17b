// ramiflex-gen: writes a synthetic graph as RSF or XML to standard output.
#include "GraphGenerator.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

void usage() {
    std::cerr << "usage: ramiflex-gen [--format rsf|xml] [--vertices N] [--fan-out F] [--depth D]\n"
                 "                    [--relations R] [--seed S] [--shuffle]\n";
}

}  // namespace

int main(int argc, char** argv) {
    GeneratorParams params;
    std::string format = "rsf";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--shuffle") {
            params.shuffleIds = true;
            continue;
        }
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        const char* value = argv[++i];
        unsigned long long number = std::strtoull(value, nullptr, 10);
        if (arg == "--format")
            format = value;
        else if (arg == "--vertices")
            params.vertices = static_cast<uint32_t>(number);
        else if (arg == "--fan-out")
            params.fanOut = static_cast<uint32_t>(number);
        else if (arg == "--depth")
            params.maxDepth = static_cast<uint32_t>(number);
        else if (arg == "--relations")
            params.relations = number;
        else if (arg == "--seed")
            params.seed = number;
        else {
            usage();
            return 2;
        }
    }
    std::ios::sync_with_stdio(false);
    GraphGenerator generator(params);
    if (format == "xml")
        generator.writeXml(std::cout);
    else if (format == "rsf")
        generator.writeRsf(std::cout);
    else {
        usage();
        return 2;
    }
    return 0;
}
