#pragma once
// What the main window lists, and its rules, apart from any window: the source (a folder or
// one file), the definitions of the last run with their captions, the active filters and the
// entries they let through, the count shown, the memory limit of a run, the files that could
// not be read and how the run ended. The worker's batches come in through Accept; the window
// shows what Accept answers and asks the listing what to report when the run ends.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/ExtractThread.h"
#include "app/core/Filters.h"
#include "app/core/IconDef.h"
#include "app/core/IconSink.h"

namespace gs {

inline constexpr const char* kMsgFileUnreadable = "The icons of '%s' could not be read.";
inline constexpr const char* kMsgFilesUnreadable = "The icons of %d files could not be read.";
inline constexpr const char* kMsgExtractionBrokenOff = "The extraction stopped before its end.";

// The warning a run leaves: what went wrong, and the details (the reason, then every file
// that failed with its error, one a line).
struct TRunWarning {
    std::string Message;
    std::string Details;
};

// What a view of the listing is told as the listing changes: its entries replaced whole (by
// the ones given, in order; none when it empties), new ones at the end, one that went, one
// whose caption changed. A run's start always tells a reset; emptying a listing that is
// already empty tells none.
class IListingObserver {
public:
    virtual ~IListingObserver() = default;
    virtual void Reset(const std::vector<TIconDef*>& shown) = 0;
    virtual void RowsInserted(const std::vector<TIconDef*>& defs) = 0;
    virtual void RowRemoved(const TIconDef* def) = 0;
    virtual void RowChanged(const TIconDef* def) = 0;
};

class TIconListing {
public:
    // The view told of every change (not owned), or none.
    void SetObserver(IListingObserver* observer) { observer_ = observer; }

    // The caption of a listed icon: its file's base name numbered with its place in the run.
    static std::string Caption(const std::string& baseName, int number);

    // The source. Selecting one forgets the other.
    void SelectFolder(const std::string& path);
    void SelectFile(const std::string& path);
    void ClearSource();
    const std::string& SelectedFolder() const { return selectedFolder_; }
    const std::string& SelectedFile() const { return selectedFile_; }
    bool PathSelected() const { return !selectedFolder_.empty() || !selectedFile_.empty(); }
    // The job that lists the source, or none when nothing is selected.
    std::unique_ptr<TExtractThread> MakeJob(TExtractSettings settings) const;

    // A run: the listing starts empty and unfiltered; at or past `memoryStopPercent` of
    // memory load (when given) batches are refused.
    void BeginRun(std::optional<int> memoryStopPercent);
    // True while the memory load allows more icons; a load at the limit marks the run.
    bool MemoryLoadOk(int memoryLoad);
    bool MemoryLimitReached() const { return memoryLimitReached_; }
    std::optional<int> MemoryStopPercent() const { return memoryStopPercent_; }
    // Takes the batch into the listing, captions numbered on from the count, and answers the
    // definitions to show, in order.
    std::vector<TIconDef*> Accept(TIconBatch batch);
    void FileFailed(const std::filesystem::path& file, const std::string& error);
    const std::vector<std::pair<std::filesystem::path, std::string>>& Failures() const { return failures_; }
    // How the run ended: a failure on no one file (no Subject) broke it off, for its Reason.
    void EndRun(const TJobEnd& end);
    const std::optional<TJobEnd>& LastEnd() const { return lastEnd_; }
    // The warning the ended run leaves, once: none when it ran through with every file read.
    std::optional<TRunWarning> TakeRunWarning();

    // The definitions of the run, filtered or not; null before any run.
    TIconsList* Icons() const { return icons_.get(); }
    // The count the window shows: the entries listed.
    int IconCount() const { return iconCount_; }

    // The active filter set, or none; the filter dialog edits it in place.
    std::unique_ptr<TFilters>& Filters() { return filters_; }
    const TFilters* ActiveFilters() const { return filters_.get(); }
    // Whether the entries listed are the filtered ones.
    bool FilterActive() const { return filterActive_; }
    // The entries the filters let through, in the run's order; the count becomes theirs.
    std::vector<TIconDef*> Refilter();

    // A listed definition takes the caption.
    void Rename(TIconDef* def, std::string name);
    // The entry of this very definition goes (another with the same name and file stays).
    void Remove(const TIconDef* def);
    // Every definition goes; the source stays.
    void RemoveAll();
    // Nothing listed (a new source is about to be listed, or the window closes its listing).
    void Clear();

private:
    // An empty list in place of the definitions, whose memory goes back to the system.
    void releaseIcons();
    // The view is told it shows nothing, unless it already does.
    void resetShown();

    std::string selectedFolder_;
    std::string selectedFile_;
    std::unique_ptr<TIconsList> icons_;
    std::unique_ptr<TFilters> filters_;
    bool filterActive_ = false;
    int iconCount_ = 0;
    std::optional<int> memoryStopPercent_;
    bool memoryLimitReached_ = false;
    std::vector<std::pair<std::filesystem::path, std::string>> failures_;
    std::optional<TJobEnd> lastEnd_;
    std::string abortReason_;
    IListingObserver* observer_ = nullptr;
};

}  // namespace gs
