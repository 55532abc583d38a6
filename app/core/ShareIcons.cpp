#include "app/core/ShareIcons.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <stdexcept>

#include "app/core/BatchWriters.h"
#include "app/core/SaveIcons.h"
#include "export/IconExport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "framework/core/SysUtils.h"
#include "iconlib/IconLibrary.h"
#include "platform/PrivateTemp.h"

namespace gs {

namespace {

constexpr const char* kLibraryExtension = ".icl";
constexpr const char* kMailBody = " ";

// Runs `body`; any error becomes EQBException(message) with the error's text as details
// (none when that text is the message itself).
template <class F>
auto wrapped(const char* message, F&& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        const std::string cause = e.what();
        throw EQBException(message, cause == message ? std::string() : cause, TQBSeverity::Warning);
    }
}

std::string lowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::vector<TIconLibraryEntry> entriesOf(const std::vector<TIconDef*>& defs) {
    std::vector<TIconLibraryEntry> out;
    // The definitions keep their icons; the library only refers to them.
    TIconSetLoader icons(defs);
    for (TIconDef* def : defs)
        if (def) out.push_back({"", &icons.GetIcon(*def)});
    return out;
}

}  // namespace

std::optional<TRaster> ClipboardBitmap(const TQBIcon& icon, TBatchIconSize size, bool transparent) {
    std::optional<TRaster> bitmap = ChooseBitmap(icon, SaveImageChoice(size, true));
    if (bitmap) bitmap->SetTransparent(transparent);
    return bitmap;
}

std::filesystem::path CaptionFile(const std::filesystem::path& folder, const std::string& caption,
                                  std::set<std::string>* used) {
    const std::string base = SafeOutputBaseName(caption);
    const std::string extension = ImageFormatOf(TBatchFormat::bfICO).Save.Extension;
    std::string name = base + extension;
    for (int n = 2; used && used->count(name); ++n) name = base + " (" + std::to_string(n) + ")" + extension;
    if (used) used->insert(name);
    return folder / name;
}

std::filesystem::path EditIconExternally(TIconDef& def, const std::string& editor, const TStartProgram& start,
                                         std::filesystem::path folder) {
    return wrapped(kMsgEditorFailed, [&] {
        if (folder.empty()) folder = HandOverFolder();
        const std::filesystem::path file = CaptionFile(folder, def.Name);
        def.GetIcon().SaveToFile(file);
        if (!start({editor, file.string()})) throw std::runtime_error(kMsgEditorFailed);
        return file;
    });
}

void SendIconsByMail(const std::vector<TIconDef*>& entries, const TKAVUOptions& options, const TQBApplication& app,
                     TQBMapi& mapi, std::filesystem::path folder) {
    wrapped(kMsgMailFailed, [&] {
        // A folder per mail: its attachments keep the captions' names, and a composer still
        // reading an earlier mail's files keeps them, also after this program has ended.
        if (folder.empty()) folder = NewHandOverSubfolder();
        mapi.ShowDialog = true;
        // The composer's only "cancel" is that it is missing or finds no mail program: the
        // user is told, as Send Email tells it, instead of the attachments going nowhere.
        mapi.OnUserAbort = [](TQBMapi&) { throw std::runtime_error(kMsgMailSystemMissing); };
        mapi.Subject = app.Title + " " + app.VersionText;
        mapi.Body = kMailBody;
        const TIconSaveWriter writer(options.SaveAllSizes, options.SetTransparency);
        std::set<std::string> used;
        TIconSetLoader icons(entries);
        for (TIconDef* def : entries) {
            if (!def) continue;
            const std::filesystem::path file = CaptionFile(folder, def->Name, &used);
            writer.SaveAsIcon(TBatchIconSize::bsAll, icons.GetIcon(*def), file);
            // An icon that wrote no file is left out when the mail goes.
            mapi.AttachedFiles.push_back(file.string());
        }
        mapi.Send();
    });
}

void CheckLibraryName(const std::string& fileName) {
    if (lowerCase(std::filesystem::path(fileName).extension().string()) != kLibraryExtension)
        throw EQBException(kMsgInvalidLibrary, kMsgLibraryExtension, TQBSeverity::Warning);
}

void CreateIconLibrary(const std::filesystem::path& fileName, const std::vector<TIconDef*>& entries) {
    wrapped(kMsgCreateLibraryFailed, [&] { SaveIconLibrary(fileName, entriesOf(entries)); });
}

void AddToIconLibrary(const std::filesystem::path& fileName, const std::vector<TIconDef*>& entries) {
    wrapped(kMsgAddLibraryFailed, [&] {
        TQBIconLibrary library;
        if (GetFileSize64(fileName) != 0) {
            const TIconsRead read = library.Read(fileName);
            if (read.Result != TLoadResult::Read) {
                const std::string why = FormatOne(kMsgNotALibrary, fileName.string());
                throw std::runtime_error(read.Reason.empty() ? why : why + " " + read.Reason);
            }
        }
        std::vector<TIconLibraryEntry> all = library.Entries();
        for (TIconLibraryEntry& added : entriesOf(entries)) all.push_back(std::move(added));
        SaveIconLibrary(fileName, std::move(all));
    });
}

}  // namespace gs
