#pragma once
// The program's one command-line argument: a file or folder to open ("/X:path"), or a
// batch export with ("/XB:") or without ("/XBS:") its progress window. Parsing is a pure
// function of the arguments and of what the file system holds.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/ImageFormats.h"

namespace gs {

enum class TRunMode : std::uint8_t { rmNone = 0, rmFile = 1, rmFolder = 2, rmBatch = 3 };

struct TBatchJob {
    std::string FileSpec;   // file name or pattern of the sources, with its folder, as given
    std::string TargetDir;  // an existing folder, as given
    TBatchFormat Format = TBatchFormat::bfICO;
    TBatchIconSize IconSize = TBatchIconSize::bsAll;
    bool Transparent = true;
    bool Silent = false;
};

// The refusals, shown as a warning before the program starts plainly.
constexpr const char* kMsgTargetDirMissing = "Target dir missing in command line argument.";
constexpr const char* kMsgFileSpecMissing = "File spec missing in command line argument.";
constexpr const char* kMsgInvalidTargetDir = "Invalid target dir in command line argument.";

struct TCommandLine {
    TRunMode Mode = TRunMode::rmNone;
    std::string StartPath;  // absolute; set in rmFile and rmFolder only
    TBatchJob BatchJob;     // filled in rmBatch only
    std::string Refusal;    // the message to show when a batch argument was refused
};

// The file-system questions the parser asks; tests may answer them from a table.
struct TPathTests {
    std::function<bool(const std::string&)> isFile;
    std::function<bool(const std::string&)> isFolder;
    static TPathTests real();
};

// `args` are the arguments after the program name, as the shell split them.
TCommandLine ParseCommandLine(const std::vector<std::string>& args, const TPathTests& tests = TPathTests::real());

// The batch job described by the text after "/XB:" or "/XBS:"; on a refusal the message.
struct TBatchParse {
    bool ok = false;
    TBatchJob job;
    std::string refusal;
};
TBatchParse ParseBatchArguments(const std::string& text, const TPathTests& tests = TPathTests::real());

}  // namespace gs
