// The command-line parser: arguments one to a line, the file system answered from the
// text itself (a name with a dot is a file, one without is a folder), so a run depends on
// the input alone.
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/CmdLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const gs::TPathTests fake{[](const std::string& s) { return s.find('.') != std::string::npos; },
                             [](const std::string& s) { return !s.empty() && s.find('.') == std::string::npos; }};
    const gs::TCommandLine line = gs::ParseCommandLine(args, fake);
    if (line.Mode == gs::TRunMode::rmBatch && line.BatchJob.TargetDir.empty()) __builtin_trap();
    (void)gs::ParseBatchArguments(args.front(), fake);
    return 0;
}
