// orvex-modelgen FOLDER: writes the test models (cube and arm, .x with ".ocs" scripts) there.
#include <cstdio>
#include <exception>

#include "tools/modelgen/ModelWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvex-modelgen FOLDER\n");
        return 2;
    }
    try {
        Orvex::Tools::ModelGen::writeModels(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvex-modelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
