#pragma once
// The work of one extraction worker: walk a folder (or read one file), read every candidate
// file with the icon library, build one definition per icon and hand it to an IconSink.
// The work runs on whatever thread calls Execute; ExtractWorker.h runs it on its own
// std::jthread. It looks only at its own objects and at the snapshot of the options it was
// given, so the options may change while it runs.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/core/FolderWalk.h"
#include "app/core/IconSink.h"

namespace gs {

class TKAVUOptions;

// The options an extraction reads, taken when it starts.
struct ExtractSettings {
    std::vector<std::string> Extensions;  // each with its dot; compared without regard to case
    bool Recurse = false;                 // descend into sub-folders
    bool LimitOn = false;                 // the icon limit applies
    int LimitNumber = 1;                  // the limit, at least 1
    bool IgnoreRepeated = false;          // read a file name only in the first folder holding it

    static ExtractSettings FromOptions(const TKAVUOptions& options);
};

// Why an extraction ended.
enum class ExtractEnd {
    Finished,      // the walk (or the file) was done
    Stopped,       // a stop was asked for
    LimitReached,  // the icon limit was reached
    Refused,       // the consumer refused an icon (memory limit) or could not be reached
    FileFailed,    // a file could not be read; the sink was told which and why
    Aborted,       // an error outside any one file (memory exhausted) ended it
};

class TExtractThread {
public:
    explicit TExtractThread(ExtractSettings settings) : settings_(std::move(settings)) {}
    virtual ~TExtractThread() = default;
    TExtractThread(const TExtractThread&) = delete;
    TExtractThread& operator=(const TExtractThread&) = delete;

    // Runs the whole extraction on the calling thread. The stop token is looked at between
    // folder entries and between icons.
    ExtractEnd Execute(IconSink& sink, std::stop_token stop);

    const ExtractSettings& Settings() const { return settings_; }

protected:
    virtual void Run() = 0;

    // Hands every icon of the file over; the last answer of the sink (0 when the file gave
    // none), or -1 when the file could not be read.
    int ExtractFromFile(const std::filesystem::path& fileName);
    // Builds the definition of one icon with its flags and small pictures and hands it over;
    // the sink's answer.
    int AddExtractedIcon(const std::string& baseName, const std::filesystem::path& fileName,
                         const TQBIcon& icon, int iconIndex);

    IconSink& Sink() const { return *sink_; }
    bool StopRequested() const { return stop_.stop_requested(); }
    // The run is to end: its end is decided or a stop was asked for.
    bool Ended() const { return end_.has_value() || StopRequested(); }

private:
    // Decides the end when the sink's answer asks for it.
    bool EndsRun(int answer);

    ExtractSettings settings_;
    IconSink* sink_ = nullptr;
    std::stop_token stop_;
    std::optional<ExtractEnd> end_;
};

// Extraction of a folder: its regular files with a listed extension, in listing order,
// and its sub-folders where they come in that order when Recurse is on (real folders, each
// once; never a link to a folder nor a folder of a pseudo file system).
class TExtractFromFolderThread : public TExtractThread {
public:
    TExtractFromFolderThread(std::filesystem::path path, ExtractSettings settings)
        : TExtractThread(std::move(settings)), Path(std::move(path)) {}

    const std::filesystem::path Path;

protected:
    void Run() override;
    // The last answer of the sink in this folder and its sub-folders (0 when none).
    int ScanFolder(const std::filesystem::path& folder);

private:
    bool HasListedExtension(const std::string& name) const;
    // With IgnoreRepeated: true the first time a file name is met (case ignored).
    bool FirstSeen(const std::string& name);

    std::unordered_set<std::string> extensions_;  // case folded
    std::optional<std::unordered_set<std::string>> seenNames_;
    VisitedFolders visited_;
};

// Extraction of one file, whatever its extension.
class TExtractFromFileThread : public TExtractThread {
public:
    TExtractFromFileThread(std::filesystem::path path, ExtractSettings settings)
        : TExtractThread(std::move(settings)), Path(std::move(path)) {}

    const std::filesystem::path Path;

protected:
    void Run() override;
};

}  // namespace gs
