#include "app/core/SaveIcons.h"

#include <exception>

#include "app/core/BatchWriters.h"
#include "export/IconExport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "framework/core/RxUtils.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

const char* savedNoun(int format) {
    const TImageFormat* row = FindImageFormat(format);
    if (!row) throw EQBException(kMsgUnknownFileType, "", TQBSeverity::Warning);
    return row->Noun;
}

// The folder the files go to; empty when the user cancelled the folder dialog.
std::string destinationFolder(const TKAVUOptions& options, ISaveQuestions& ui) {
    std::string folder = options.DefaultFolder;
    // With a dialog per file the option only gives the first dialog's starting folder.
    if (options.PromptForFileName || (!folder.empty() && SafeDirectoryExists(folder))) return folder;
    std::optional<std::string> chosen = ui.BrowseDestination(folder);
    return chosen ? StripTrailingBackslash(*chosen) : std::string();
}

// The file of one entry; empty when the user cancelled its dialog. `folder` follows the
// user's choices.
std::string targetName(const std::string& caption, std::string& folder, const TSaveTarget& target,
                       const TKAVUOptions& options, ISaveQuestions& ui) {
    const std::string name = SafeOutputBaseName(caption);
    if (!options.PromptForFileName) return AddTrailingBackslash(folder) + name + target.Extension;
    std::optional<std::string> chosen = ui.AskFileName(target, folder, name);
    if (!chosen) return {};
    folder = std::filesystem::path(*chosen).parent_path().string();
    return *chosen;
}

// The answers of the replace question so far.
struct TReplacePolicy {
    bool ask = true;
    bool replace = true;

    // False when this existing file is to be kept; the user's Cancel raises.
    bool allows(const std::string& file, int format, int count, ISaveQuestions& ui) {
        if (ask) {
            switch (ui.AskReplace(FormatOne(kMsgReplaceFile, file))) {
            case TQBMessageResult::mrYes: replace = true; break;
            case TQBMessageResult::mrYesToAll: ask = false; replace = true; break;
            case TQBMessageResult::mrNo: replace = false; break;
            case TQBMessageResult::mrNoToAll: ask = false; replace = false; break;
            default: throw ESaveCancelled(SaveCancelledMessage(format, count));
            }
        }
        return replace;
    }
};

}  // namespace

const TSaveTarget& GetSaveTarget(int format) {
    const TImageFormat* row = FindImageFormat(format);
    if (!row) throw EQBException(kMsgUnknownFileType, "", TQBSeverity::Warning);
    return row->Save;
}

std::string SaveResultMessage(int format, int count) {
    const std::string noun = savedNoun(format);
    if (count <= 0) return {};
    return std::to_string(count) + " " + noun + "(s) saved.";
}

std::string SaveCancelledMessage(int format, int count) {
    return "Operation cancelled by user. Saved " + std::to_string(count) + " " + savedNoun(format) + "(s).";
}

bool TIconSaveWriter::SaveAsIcon(TBatchIconSize size, const TQBIcon& icon, const std::filesystem::path& file) const {
    return Write(TBatchFormat::bfICO, size, icon, file);
}

bool TIconSaveWriter::Write(TBatchFormat format, TBatchIconSize size, const TQBIcon& icon,
                            const std::filesystem::path& file) const {
    return WriteIconAs(format, icon, SaveImageChoice(size, saveAllSizes_), transparent_, file);
}

int SaveSelected(TBatchFormat format, TBatchIconSize size, const std::vector<TIconDef*>& entries,
                 const TKAVUOptions& options, ISaveQuestions& ui, const std::stop_token& stop,
                 TIconFileReader reader) {
    const int code = int(format);
    const TSaveTarget& target = GetSaveTarget(code);
    std::string folder = destinationFolder(options, ui);
    if (folder.empty() && !options.PromptForFileName) return 0;
    const TIconSaveWriter writer(options.SaveAllSizes, options.SetTransparency);
    TReplacePolicy policy;
    TIconSetLoader icons(entries, std::move(reader));
    int count = 0;
    for (TIconDef* def : entries) {
        if (stop.stop_requested()) throw ESaveCancelled(SaveCancelledMessage(code, count));
        if (!def) continue;
        try {
            const std::string file = targetName(def->Name, folder, target, options, ui);
            if (file.empty()) continue;
            // The save dialog asks about replacing by itself.
            if (!options.PromptForFileName && SafeFileExists(file) && !policy.allows(file, code, count, ui)) continue;
            // The new file replaces the old one only once it is whole; an icon that gives
            // nothing to write leaves the old file and is not counted.
            if (writer.Write(format, size, icons.GetIcon(*def), file)) ++count;
        } catch (const EQBException&) {
            throw;
        } catch (const std::exception&) {
            // A file that cannot be written skips its icon; the others go on.
        }
    }
    if (const std::string result = SaveResultMessage(code, count); !result.empty()) ui.ShowResult(result);
    return count;
}

}  // namespace gs
