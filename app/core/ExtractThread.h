#pragma once
// The work of one extraction worker: walk a folder (or read one file), read every candidate
// file with the icon library, build one definition per icon with its list pictures and hand
// them to an IIconSink in batches. A folder's files are read a few at a time by a small pool
// of reader threads that lives as long as the scan (a file's reading and decoding does not
// depend on any other), and handed over in the folder's order.
// The work runs on whatever thread calls Execute; ScanJob.h runs it as a job. It looks only
// at its own objects and at the snapshot of the options it was
// given, so the options may change while it runs.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/core/FolderWalk.h"
#include "app/core/IconSink.h"
#include "app/core/OrderedPool.h"
#include "app/core/Job.h"

namespace gs {

class TKAVUOptions;

// The options an extraction reads, taken when it starts.
struct TExtractSettings {
    std::vector<std::string> Extensions;  // each with its dot; compared without regard to case
    bool Recurse = false;                 // descend into sub-folders
    bool LimitOn = false;                 // the icon limit applies
    int LimitNumber = 1;                  // the limit, at least 1
    bool IgnoreRepeated = false;          // read a file name only in the first folder holding it

    static TExtractSettings FromOptions(const TKAVUOptions& options);
};

// Why a scan that was done ended before the walk's end (TJobEnd::Reason).
inline constexpr const char* kScanLimitReached = "The icon limit was reached.";
inline constexpr const char* kScanRefused = "The list took no more icons.";

class TExtractThread {
public:
    explicit TExtractThread(TExtractSettings settings) : settings_(std::move(settings)) {}
    virtual ~TExtractThread() = default;
    TExtractThread(const TExtractThread&) = delete;
    TExtractThread& operator=(const TExtractThread&) = delete;

    // Runs the whole extraction on the calling thread. The stop token is looked at between
    // folder entries and between icons. Done (with the limit or the consumer's refusal as
    // its reason), Stopped, or Failed on a file that could not be read (the sink was told).
    TJobEnd Execute(IIconSink& sink, std::stop_token stop);

    const TExtractSettings& Settings() const { return settings_; }

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

    IIconSink& Sink() const { return *sink_; }
    const std::stop_token& StopToken() const { return stop_; }
    bool StopRequested() const { return stop_.stop_requested(); }
    // The run is to end: its end is decided or a stop was asked for.
    bool Ended() const { return end_.has_value() || StopRequested(); }

private:
    // Decides the end when the sink's answer asks for it.
    bool EndsRun(int answer);

    TExtractSettings settings_;
    IIconSink* sink_ = nullptr;
    std::stop_token stop_;
    std::optional<TJobEnd> end_;
    int listed_ = 0;  // the sink's last count
};

class TExtractFromFolderThread : public TExtractThread {
public:
    // Reader threads: one a processor, at most four. Each reader's freed memory stays in
    // the allocator's arena it used, so more readers hold more of it between listings,
    // for a gain that stops at the disk's pace.
    static constexpr std::size_t kMostReaders = 4;
    static std::size_t Readers();
    // Files given to the readers and not yet handed over: two a reader, so a reader has its
    // next file while the hand-over takes the last, and few enough that what they hold
    // stays small.
    static constexpr std::size_t kMostReadersAhead = 2 * kMostReaders;
    static std::size_t ReadersAhead() { return 2 * Readers(); }

    TExtractFromFolderThread(std::filesystem::path path, TExtractSettings settings)
        : TExtractThread(std::move(settings)), Path(std::move(path)) {}

    const std::filesystem::path Path;

protected:
    void Run() override;
    void ScanFolder(const std::filesystem::path& folder);

private:
    // Starts reading the file ahead, handing over the oldest read first when enough are on.
    void ReadAhead(const std::filesystem::path& file);
    // Hands over every read still on, in order, until the run ends.
    void Drain();

    bool HasListedExtension(const std::string& name) const;
    // With IgnoreRepeated: true the first time a file name is met (case ignored).
    bool FirstSeen(const std::string& name);

    std::unordered_set<std::string> extensions_;  // case folded
    std::optional<std::unordered_set<std::string>> seenNames_;
    TVisitedFolders visited_;
    std::optional<TOrderedPool<FileIcons>> readers_;  // during Run
};

// Extraction of one file, whatever its extension.
class TExtractFromFileThread : public TExtractThread {
public:
    TExtractFromFileThread(std::filesystem::path path, TExtractSettings settings)
        : TExtractThread(std::move(settings)), Path(std::move(path)) {}

    const std::filesystem::path Path;

protected:
    void Run() override;
};

}  // namespace gs
