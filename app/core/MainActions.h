#pragma once
// The main window's commands as data: one row per command (name, caption, hint, shortcut,
// picture), and the one pure function that decides which of them are enabled and checked
// from a snapshot of the window. The window renders the rows into its menus and toolbar and
// applies the states; nothing here knows about widgets.
#include <array>
#include <cstdint>
#include <span>

namespace gs {

enum class TMainAction : std::uint8_t {
    actFile, actEdit, actView, actIcon, actHelp, actFavorites,
    actFileSelectDir, actFileSelectFile, actFileRecentFolders, actFileRecentFiles, actFileExtractIcons,
    actFilePreferences, actFileExit,
    actEditCopyToClipboard, actEditCopy48x48ToClipboard, actEditCopy32x32ToClipboard, actEditCopy16x16ToClipboard,
    actEditRename, actEditRemove, actEditSelectAll, actEditInvert, actEditFind, actEditFindNext,
    actViewView, actViewLargeIcon, actViewSmallIcon, actViewList, actViewReport,
    actViewArrange, actArrangeByName, actArrangeByFile, actViewFilter, actViewRemoveFilter,
    actViewPreview, actViewToolbar, actViewStatusBar,
    actIconEditIcon, actIconSave,
    actIconSaveIcons, actIconSave48x48Icons, actIconSave32x32Icons, actIconSave16x16Icons,
    actIconSaveBitmaps, actIconSave48x48Bitmaps, actIconSave32x32Bitmaps, actIconSave16x16Bitmaps,
    actIconSaveImages, actIconSave48x48Images, actIconSave32x32Images, actIconSave16x16Images,
    actIconAddToNewICL, actIconAddToExistingICL, actIconSendTo, actIconFileProperties,
    actFavoritesAdd, actFavoritesOrganize,
    actHelpContents, actHelpTipOfTheDay, actHelpOnTheWeb, actHelpSendEmail, actHelpAbout,
    Count
};
inline constexpr std::size_t kMainActionCount = std::size_t(TMainAction::Count);

// Shortcuts as stored values: a virtual-key code plus modifier bits.
inline constexpr int kShortcutShift = 0x2000;
inline constexpr int kShortcutCtrl = 0x4000;
inline constexpr int kShortcutAlt = 0x8000;
inline constexpr int kVkDelete = 46;
inline constexpr int kVkF1 = 112;
inline constexpr int kVkF24 = 135;

struct TActionInfo {
    TMainAction Id;
    const char* Name;
    const char* Caption;
    const char* Hint;
    int ShortCut = 0;     // 0 none
    int ImageIndex = -1;  // -1 none
    const char* MenuCaption = nullptr;  // the menu bar's own caption, where it differs
};

// Every command in the order of the action list (the order the enabling rules run in).
std::span<const TActionInfo> MainActionTable();
const TActionInfo& ActionInfo(TMainAction id);

enum class TViewStyle : std::uint8_t { vsIcon = 0, vsSmallIcon = 1, vsList = 2, vsReport = 3 };
enum class TBusyState : std::uint8_t { Idle, Extracting, Saving };

// What the enabling rules look at.
struct TMainSnapshot {
    TBusyState Busy = TBusyState::Idle;
    TViewStyle ViewStyle = TViewStyle::vsIcon;
    bool PreviewVisible = true;
    bool ToolbarVisible = true;
    bool StatusBarVisible = true;
    int SortColumn = 0;
    int ItemCount = 0;
    int SelCount = 0;
    bool PathSelected = false;  // SelectedFolder or SelectedFile is set
    bool FilterActive = false;
    int FindLastIndex = -1;
    bool EditorSet = false;  // the IconEditApp option is not empty
    bool HasRecentFolders = false;
    bool HasRecentFiles = false;
};

struct TActionState {
    bool Enabled = false;
    bool Checked = false;
    friend bool operator==(const TActionState&, const TActionState&) = default;
};
using TActionStates = std::array<TActionState, kMainActionCount>;

// Enabled and checked states of every command for the snapshot.
TActionStates alMainUpdate(const TMainSnapshot& s);

// A save makes the window busy only for more than this many selected icons.
inline constexpr int kSaveBusyThreshold = 50;
inline bool SaveMakesBusy(int selected) { return selected > kSaveBusyThreshold; }

}  // namespace gs
