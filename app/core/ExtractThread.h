#pragma once
// The work of one extraction worker: walk a folder (or read one file), read every candidate
// file with the icon library, build one definition per icon with its list pictures and hand
// them to an IconSink in batches. A folder's files are read a few at a time on helper
// threads (a file's reading and decoding does not depend on any other), and handed over in
// the folder's order.
// The work runs on whatever thread calls Execute; ScanJob.h runs it as a job. It looks only at its own objects and at the snapshot of the options it was
// given, so the options may change while it runs.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <deque>
#include <future>
#include <vector>

#include "app/core/FolderWalk.h"
#include "app/core/IconSink.h"
#include "app/core/Job.h"

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

// Why a scan that was done ended before the walk's end (TJobEnd::Reason).
inline constexpr const char* kScanLimitReached = "The icon limit was reached.";
inline constexpr const char* kScanRefused = "The list took no more icons.";

class TExtractThread {
public:
    explicit TExtractThread(ExtractSettings settings) : settings_(std::move(settings)) {}
    virtual ~TExtractThread() = default;
    TExtractThread(const TExtractThread&) = delete;
    TExtractThread& operator=(const TExtractThread&) = delete;

    // Runs the whole extraction on the calling thread. The stop token is looked at between
    // folder entries and between icons. Done (with the limit or the consumer's refusal as
    // its reason), Stopped, or Failed on a file that could not be read (the sink was told).
    TJobEnd Execute(IconSink& sink, std::stop_token stop);

    const ExtractSettings& Settings() const { return settings_; }

protected:
    virtual void Run() = 0;

    // What reading one file gave: its definitions in order, or why it could not be read.
    struct FileIcons {
        std::filesystem::path File;
        TIconBatch Icons;
        bool Failed = false;
        std::string Reason;
    };
    // Reads the file and builds the definitions of its icons with their flags and list
    // pictures. Touches nothing of the job, so it may run on any thread; the stop token is
    // looked at between icons.
    static FileIcons ReadFileIcons(const std::filesystem::path& fileName, const std::stop_token& stop);
    // Hands what a file gave over: its failure (which ends the run), or its icons in batches,
    // no more than the icon limit lets through.
    void HandOver(FileIcons read);

    IconSink& Sink() const { return *sink_; }
    const std::stop_token& StopToken() const { return stop_; }
    bool StopRequested() const { return stop_.stop_requested(); }
    // The run is to end: its end is decided or a stop was asked for.
    bool Ended() const { return end_.has_value() || StopRequested(); }

private:
    // Decides the end when the sink's answer asks for it.
    bool EndsRun(int answer);

    ExtractSettings settings_;
    IconSink* sink_ = nullptr;
    std::stop_token stop_;
    std::optional<TJobEnd> end_;
    int listed_ = 0;  // the sink's last count
};

class TExtractFromFolderThread : public TExtractThread {
public:
    // Files read at once: one a processor, enough to keep the hand-over fed, and few
    // enough that what they hold stays small.
    static constexpr std::size_t kMostReadersAhead = 8;
    static std::size_t ReadersAhead();

    TExtractFromFolderThread(std::filesystem::path path, ExtractSettings settings)
        : TExtractThread(std::move(settings)), Path(std::move(path)) {}

    const std::filesystem::path Path;

protected:
    void Run() override;
    void ScanFolder(const std::filesystem::path& folder);

private:
    // Starts reading the file ahead, handing over the oldest read first when enough are on.
    void ReadAhead(const std::filesystem::path& file);
    // Hands over every read still on, in order (their icons are dropped once the run ended).
    void Drain();

    bool HasListedExtension(const std::string& name) const;
    // With IgnoreRepeated: true the first time a file name is met (case ignored).
    bool FirstSeen(const std::string& name);

    std::unordered_set<std::string> extensions_;  // case folded
    std::optional<std::unordered_set<std::string>> seenNames_;
    VisitedFolders visited_;
    std::deque<std::future<FileIcons>> reading_;
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
