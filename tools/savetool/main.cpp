// orvex-savetool: looks into a save or replay container, and writes the old-format sample save.
//
//   orvex-savetool show FILE...        header and decoded fields of each file
//   orvex-savetool write-old FILE      an old-format common save (the migration's sample)
//
// Exit status: 0 done, 1 a file could not be read or written, 2 a usage error.
#include <iostream>
#include <string>
#include <vector>

#include "tools/common/CommandLineArgs.h"
#include "tools/savetool/SaveInspection.h"

namespace {

constexpr const char* kUsage =
    "usage: orvex-savetool show FILE...\n"
    "       orvex-savetool write-old FILE\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (Orvex::Tools::isHelpRequest(args)) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() >= 2 && args[0] == "show") {
        bool ok = true;
        for (std::size_t i = 1; i < args.size(); ++i) {
            std::cout << "== " << args[i] << "\n";
            ok = Orvex::Tools::SaveTool::describeFile(args[i], std::cout, std::cerr) && ok;
        }
        return ok ? 0 : 1;
    }
    if (args.size() == 2 && args[0] == "write-old") {
        return Orvex::Tools::SaveTool::writeOldSample(args[1], {}, std::cerr) ? 0 : 1;
    }
    std::cerr << kUsage;
    return 2;
}
