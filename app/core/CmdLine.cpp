#include "app/core/CmdLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "framework/core/FileUtils.h"

namespace gs {

namespace {

constexpr std::string_view kOpenPrefix = "/X:";
constexpr std::string_view kBatchPrefix = "/XB:";
constexpr std::string_view kSilentBatchPrefix = "/XBS:";

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

bool hasPrefix(const std::string& arg, std::string_view prefix) {
    return upper(arg.substr(0, prefix.size())) == prefix;
}

// Splits off the text up to the next comma; `rest` becomes what follows it (empty when
// there is no comma).
std::string nextField(std::string& rest) {
    std::size_t comma = rest.find(',');
    std::string field = rest.substr(0, comma);
    rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    return field;
}

// An unknown word is no error: the icon format is taken.
TBatchFormat formatFromWord(const std::string& word) { return FormatFromWord(word).value_or(TBatchFormat::bfICO); }

TBatchIconSize sizeFromWord(const std::string& word) {
    if (word == "48") return TBatchIconSize::bs48;
    if (word == "32") return TBatchIconSize::bs32;
    if (word == "16") return TBatchIconSize::bs16;
    return TBatchIconSize::bsAll;
}

TBatchParse refuse(const char* message) { return TBatchParse{false, {}, message}; }

}  // namespace

TPathTests TPathTests::real() {
    return {[](const std::string& p) { return SafeFileExists(p); },
            [](const std::string& p) { return SafeDirectoryExists(p); }};
}

TBatchParse ParseBatchArguments(const std::string& text, const TPathTests& tests) {
    std::size_t comma = text.find(',');
    if (comma == std::string::npos) return refuse(kMsgTargetDirMissing);
    TBatchParse result{true, {}, {}};
    TBatchJob& job = result.job;
    job.FileSpec = text.substr(0, comma);
    if (job.FileSpec.empty()) return refuse(kMsgFileSpecMissing);
    std::string rest = text.substr(comma + 1);
    job.TargetDir = nextField(rest);
    if (job.TargetDir.empty()) return refuse(kMsgTargetDirMissing);
    if (!tests.isFolder(job.TargetDir)) return refuse(kMsgInvalidTargetDir);
    if (rest.empty()) return result;
    job.Format = formatFromWord(nextField(rest));
    if (rest.empty()) return result;
    job.IconSize = sizeFromWord(nextField(rest));
    if (rest.empty()) return result;
    // The rest is the transparency word whole: further commas are not split off.
    job.Transparent = upper(rest) == "TRUE";
    return result;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args, const TPathTests& tests) {
    TCommandLine cl;
    if (args.size() != 1) return cl;
    const std::string& arg = args.front();
    if (hasPrefix(arg, kOpenPrefix)) {
        std::string path = arg.substr(kOpenPrefix.size());
        if (path.empty()) return cl;
        if (tests.isFile(path)) {
            cl.Mode = TRunMode::rmFile;
        } else if (tests.isFolder(path)) {
            cl.Mode = TRunMode::rmFolder;
        } else {
            return cl;
        }
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(path, ec);
        cl.StartPath = ec ? path : absolute.string();
        return cl;
    }
    bool silent = hasPrefix(arg, kSilentBatchPrefix);
    if (!silent && !hasPrefix(arg, kBatchPrefix)) return cl;
    TBatchParse batch = ParseBatchArguments(arg.substr((silent ? kSilentBatchPrefix : kBatchPrefix).size()), tests);
    if (!batch.ok) {
        cl.Refusal = batch.refusal;
        return cl;
    }
    cl.Mode = TRunMode::rmBatch;
    cl.BatchJob = batch.job;
    cl.BatchJob.Silent = silent;
    return cl;
}

}  // namespace gs
