#pragma once
// Saving the selected icons of the window's list, one file per icon named after its
// caption: the formats' targets and messages, the writers of an interactive save (which
// re-render a missing size, unlike the batch's), and the save loop with its replace
// question. The loop asks and tells through ISaveQuestions, so it runs headless in tests.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/core/IconDef.h"
#include "app/core/Options.h"
#include "export/ImageFormats.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MessageBoxes.h"
#include "iconlib/Icon.h"

namespace gs {

inline constexpr const char* kMsgUnknownFileType = "Unknown file type.";
inline constexpr const char* kMsgReplaceFile = "%s already exists.\rDo you want to replace it?";
inline constexpr const char* kSelectDestinationCaption = "Select the destination folder...";

// The save dialog and extension of a format code; EQBException "Unknown file type."
// (warning) for a code outside 0 to 5.
const TSaveTarget& GetSaveTarget(int format);

// "%d icon(s) saved." (bitmap(s), image(s)); empty for a count of 0 or less.
std::string SaveResultMessage(int format, int count);
// "Operation cancelled by user. Saved %d icon(s)." (bitmap(s), image(s)).
std::string SaveCancelledMessage(int format, int count);

// The writers of the window's saves, after the options SaveAllSizes and SetTransparency: a
// size the icon lacks is re-rendered.
class TIconSaveWriter {
public:
    TIconSaveWriter(bool saveAllSizes, bool transparent) : saveAllSizes_(saveAllSizes), transparent_(transparent) {}

    // Writes the icon into `file` (its name as given); true when a file was written. Write
    // errors raise; a file that would be replaced stays until the new one is whole.
    bool Write(TBatchFormat format, TBatchIconSize size, const TQBIcon& icon, const std::filesystem::path& file) const;
    bool SaveAsIcon(TBatchIconSize size, const TQBIcon& icon, const std::filesystem::path& file) const;

private:
    bool saveAllSizes_;
    bool transparent_;
};

// What the save loop asks the user and tells the window.
class ISaveQuestions {
public:
    virtual ~ISaveQuestions() = default;
    // The folder-browse dialog; nothing when cancelled.
    virtual std::optional<std::string> BrowseDestination(const std::string& start) = 0;
    // The format's save dialog starting in `folder` with the file name `name`; nothing when
    // cancelled.
    virtual std::optional<std::string> AskFileName(const TSaveTarget& target, const std::string& folder,
                                                   const std::string& name) = 0;
    // The replace question (Yes, Yes to All, No, No to All, Cancel).
    virtual TQBMessageResult AskReplace(const std::string& message) = 0;
    virtual void ShowResult(const std::string& message) = 0;
};

// The user's Cancel (or a stop) of a save: "Operation cancelled by user. Saved %d icon(s).",
// as information.
class ESaveCancelled : public EQBException {
public:
    explicit ESaveCancelled(const std::string& msg) : EQBException(msg, "", TQBSeverity::Information) {}
};

// The save driver over a snapshot of the selected entries, in list order: the destination,
// one file per entry, the replace question, the result. Answers the number of files
// written. The user's Cancel, and a stop asked for between two entries, raise
// ESaveCancelled; a failure to load an icon raises EQBException; any other failure only
// skips its entry. Each source file is read once, through `reader`, however many of its
// icons are saved.
int SaveSelected(TBatchFormat format, TBatchIconSize size, const std::vector<TIconDef*>& entries,
                 const TKAVUOptions& options, ISaveQuestions& ui, const std::stop_token& stop = {},
                 TIconFileReader reader = ReadIconFile);

}  // namespace gs
