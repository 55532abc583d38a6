#pragma once
// The other ways icons leave the list: the picture copied to the clipboard, the icon opened
// in the external editor, the icons mailed as icon files, and the icons written into a new
// or an existing icon library. Failures raise EQBException (warning) with the command's
// message and the cause as details.
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/core/IconDef.h"
#include "app/core/Options.h"
#include "export/ImageFormats.h"
#include "framework/core/Application.h"
#include "framework/core/QBMapi.h"
#include "platform/Raster.h"

namespace gs {

inline constexpr const char* kMsgCopyFailed = "Error copying the icon to the Clipboard.";
inline constexpr const char* kMsgEditorFailed = "There was an error running the external application.";
inline constexpr const char* kMsgMailFailed = "There was error while composing the email message.";
inline constexpr const char* kMsgInvalidLibrary = "Invalid Icon Library.";
inline constexpr const char* kMsgLibraryExtension = "Icon Libraries must have the .icl extension.";
inline constexpr const char* kMsgCreateLibraryFailed = "Unable to create Icon Library.";
inline constexpr const char* kMsgAddLibraryFailed = "Unable to add icon to Icon Library.";
inline constexpr const char* kMsgNotALibrary = "'%s' is not an icon library that can be read, so it is left as it is.";

// The icon-library dialogs.
inline constexpr const char* kSaveICLTitle = "Create New Icon Library...";
inline constexpr const char* kOpenICLTitle = "Select Icon Library...";
inline constexpr const char* kICLDefaultExt = "icl";
inline constexpr const char* kICLFilter = "Icon Libraries (*.icl)|*.icl";

// The bitmap a copy command puts on the clipboard: for all sizes the exact 16, 32 and 48
// images side by side, else the one size (re-rendered when missing); with the transparency
// flag given. Nothing when the icon gives no bitmap.
std::optional<TRaster> ClipboardBitmap(const TQBIcon& icon, TBatchIconSize size, bool transparent);

// `folder`/caption.ico with the caption made harmless ("/" and ".." cannot leave the
// folder). With `used`, a name already taken gets " (2)", " (3)" ... before its extension.
std::filesystem::path CaptionFile(const std::filesystem::path& folder, const std::string& caption,
                                  std::set<std::string>* used = nullptr);

// Starts a program with an argument vector; false when it could not be started.
using TStartProgram = std::function<bool(const std::vector<std::string>& argv)>;

// Writes the whole icon into `folder` (by default the hand-over folder, which outlives the
// program) after its caption and starts the editor with that file. Answers the file.
std::filesystem::path EditIconExternally(TIconDef& def, const std::string& editor, const TStartProgram& start,
                                         std::filesystem::path folder = {});

// One mail with the entries as icon files (whole, or their 32 x 32 images when SaveAllSizes
// is off) written into `folder` (by default a new folder of its own in the hand-over
// folder), subject the program's title and version; the composer shows the message. No
// composer to start: EQBException (kMsgMailFailed, details kMsgMailSystemMissing).
void SendIconsByMail(const std::vector<TIconDef*>& entries, const TKAVUOptions& options, const TQBApplication& app,
                     TQBMapi& mapi, std::filesystem::path folder = {});

// "Invalid Icon Library." unless the name ends in ".icl" (in any case).
void CheckLibraryName(const std::string& fileName);
// A new icon library of the entries' icons, named "Icon 1", "Icon 2" ...
void CreateIconLibrary(const std::filesystem::path& fileName, const std::vector<TIconDef*>& entries);
// The library's icons followed by the entries' icons, written back whole. A file that is not
// empty and cannot be read as icons is never overwritten.
void AddToIconLibrary(const std::filesystem::path& fileName, const std::vector<TIconDef*>& entries);

}  // namespace gs
