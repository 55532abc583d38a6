#include "app/core/IconListing.h"

#include "app/core/AllocatorTrim.h"
#include "app/core/ListWork.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

// A run that failed on no one file broke off (memory exhausted, an error outside the files).
bool brokenOff(const TJobEnd& end) { return end.Failed() && end.Subject.empty(); }

}  // namespace

std::string TIconListing::Caption(const std::string& baseName, int number) {
    return baseName + "_" + std::to_string(number);
}

void TIconListing::SelectFolder(const std::string& path) {
    selectedFile_.clear();
    selectedFolder_ = path;
}

void TIconListing::SelectFile(const std::string& path) {
    selectedFolder_.clear();
    selectedFile_ = path;
}

void TIconListing::ClearSource() {
    selectedFolder_.clear();
    selectedFile_.clear();
}

std::unique_ptr<TExtractThread> TIconListing::MakeJob(TExtractSettings settings) const {
    if (!selectedFolder_.empty()) return std::make_unique<TExtractFromFolderThread>(selectedFolder_, std::move(settings));
    if (!selectedFile_.empty()) return std::make_unique<TExtractFromFileThread>(selectedFile_, std::move(settings));
    return nullptr;
}

void TIconListing::BeginRun(std::optional<int> memoryStopPercent) {
    // The entries go before the definitions they show; a run always starts on a view reset.
    if (observer_) observer_->Reset({});
    iconCount_ = 0;
    releaseIcons();
    filters_.reset();  // a run always lists unfiltered
    filterActive_ = false;
    memoryStopPercent_ = memoryStopPercent;
    memoryLimitReached_ = false;
    failures_.clear();
    lastEnd_.reset();
    abortReason_.clear();
}

bool TIconListing::MemoryLoadOk(int memoryLoad) {
    if (!memoryStopPercent_ || memoryLoad < *memoryStopPercent_) return true;
    memoryLimitReached_ = true;
    return false;
}

std::vector<TIconDef*> TIconListing::Accept(TIconBatch batch) {
    if (!icons_) icons_ = std::make_unique<TIconsList>();
    std::vector<TIconDef*> listed;
    listed.reserve(batch.size());
    for (std::unique_ptr<TIconDef>& def : batch) {
        if (!def) continue;
        def->Name = Caption(def->Name, ++iconCount_);
        listed.push_back(def.get());
        icons_->Add(std::move(def));
    }
    if (observer_ && !listed.empty()) observer_->RowsInserted(listed);
    return listed;
}

void TIconListing::FileFailed(const std::filesystem::path& file, const std::string& error) {
    failures_.emplace_back(file, error);
}

void TIconListing::EndRun(const TJobEnd& end) {
    lastEnd_ = end;
    abortReason_ = brokenOff(end) ? end.Reason : std::string();
}

std::optional<TRunWarning> TIconListing::TakeRunWarning() {
    // A run that broke off (memory exhausted, an error outside any one file) is never passed
    // off as a finished scan: its reason comes first, then the files that failed before it.
    const bool brokeOff = lastEnd_ && brokenOff(*lastEnd_);
    if (!brokeOff && failures_.empty()) return std::nullopt;
    TRunWarning warning;
    warning.Details = abortReason_;
    for (const auto& [file, error] : failures_)
        warning.Details += (warning.Details.empty() ? "" : "\n") + file.string() + ": " + error;
    if (brokeOff) warning.Message = kMsgExtractionBrokenOff;
    else if (failures_.size() == 1) warning.Message = FormatOne(kMsgFileUnreadable, failures_.front().first.string());
    else warning.Message = FormatOne(kMsgFilesUnreadable, std::to_string(failures_.size()));
    failures_.clear();
    abortReason_.clear();
    lastEnd_.reset();
    return warning;
}

std::vector<TIconDef*> TIconListing::Refilter() {
    filterActive_ = filters_ != nullptr;
    std::vector<TIconDef*> shown;
    if (icons_) shown = FilteredDefs(*icons_, filters_.get());
    iconCount_ = int(shown.size());
    if (observer_) observer_->Reset(shown);
    return shown;
}

void TIconListing::Rename(TIconDef* def, std::string name) {
    def->Name = std::move(name);
    if (observer_) observer_->RowChanged(def);
}

void TIconListing::Remove(const TIconDef* def) {
    if (!icons_ || icons_->IndexOf(def) < 0) return;
    if (observer_) observer_->RowRemoved(def);  // the entry goes before its definition
    icons_->Remove(def);
    --iconCount_;
}

void TIconListing::RemoveAll() {
    resetShown();
    if (icons_) releaseIcons();
}

void TIconListing::releaseIcons() {
    const bool hadIcons = icons_ && icons_->Count() > 0;
    icons_ = std::make_unique<TIconsList>();
    // The definitions were made by the reader threads, so their memory went back to those
    // threads' arenas, where the allocator would keep it for good.
    if (hadIcons) GiveBackFreedMemory();
}

void TIconListing::resetShown() {
    if (observer_ && iconCount_ > 0) observer_->Reset({});
    iconCount_ = 0;
}

void TIconListing::Clear() { resetShown(); }

}  // namespace gs
