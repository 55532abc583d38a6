#include "app/core/MainActions.h"

#include <stdexcept>

namespace gs {

namespace {

using A = TMainAction;

constexpr int ctrl(char letter) { return kShortcutCtrl + letter; }
constexpr int alt(char key) { return kShortcutAlt + key; }
constexpr int fkey(int n) { return kVkF1 + n - 1; }

// clang-format off
constexpr TActionInfo kActions[] = {
    {A::actFile, "actFile", "&File", "File commands"},
    {A::actEdit, "actEdit", "&Edit", "Edit commands"},
    {A::actView, "actView", "&View", "View commands"},
    {A::actIcon, "actIcon", "&Icon", "Icon commands"},
    {A::actHelp, "actHelp", "&Help", "Help commands"},
    {A::actFavorites, "actFavorites", "&Favorites", "Favorite files"},
    {A::actFileSelectDir, "actFileSelectDir", "Select F&older...", "Select folder", ctrl('D'), 2},
    {A::actFileSelectFile, "actFileSelectFile", "Select &File...", "Select file", ctrl('F'), 3},
    {A::actFileRecentFolders, "actFileRecentFolders", "&Recent Folders", "Recent folders"},
    {A::actFileRecentFiles, "actFileRecentFiles", "R&ecent Files", "Recent files"},
    {A::actFileExtractIcons, "actFileExtractIcons", "Ex&tract Icons", "Extract icons from selected folder or file", fkey(5), 6},
    {A::actFilePreferences, "actFilePreferences", "&Preferences...", "Application preferences"},
    {A::actFileExit, "actFileExit", "E&xit", "Exit the application"},
    {A::actEditCopyToClipboard, "actEditCopyToClipboard", "&Copy Icon", "Copy selected icon to clipboard", ctrl('C'), 7},
    {A::actEditCopy48x48ToClipboard, "actEditCopy48x48ToClipboard", "Copy &48x48 Icon", "Copy selected icon 48x48 image to clipboard"},
    {A::actEditCopy32x32ToClipboard, "actEditCopy32x32ToClipboard", "Copy &32x32 Icon", "Copy selected icon 32x32 image to clipboard"},
    {A::actEditCopy16x16ToClipboard, "actEditCopy16x16ToClipboard", "Copy &16x16 Icon", "Copy selected icon 16x16 image to clipboard"},
    {A::actEditRename, "actEditRename", "Ren&ame", "Rename selected icon", fkey(2), -1, "Re&name"},
    {A::actEditRemove, "actEditRemove", "&Remove", "Remove selected icons", kVkDelete},
    {A::actEditSelectAll, "actEditSelectAll", "Select A&ll", "Select all icons", ctrl('A')},
    {A::actEditInvert, "actEditInvert", "&Invert Selection", "Invert current selection"},
    {A::actEditFind, "actEditFind", "&Find...", "Find icons", ctrl('S'), 11},
    {A::actEditFindNext, "actEditFindNext", "Find &Next...", "Find next icon", fkey(3), -1, "Find Ne&xt..."},
    {A::actViewView, "actViewView", "&View", "View", 0, 0},
    {A::actViewLargeIcon, "actViewLargeIcon", "&Large Icons", "View large icons", alt('1')},
    {A::actViewSmallIcon, "actViewSmallIcon", "&Small Icons", "View small icons", alt('2')},
    {A::actViewList, "actViewList", "L&ist", "View list", alt('3')},
    {A::actViewReport, "actViewReport", "&Details", "View icon details", alt('4')},
    {A::actViewArrange, "actViewArrange", "A&rrange Icons", "Commands for arranging items in the window"},
    {A::actArrangeByName, "actArrangeByName", "By &Name", "Arrange items by name"},
    {A::actArrangeByFile, "actArrangeByFile", "By &Original File", "Arrange items by original file"},
    {A::actViewFilter, "actViewFilter", "Fil&ter Icons...", "Filter icons based on a specific criteria", 0, 12},
    {A::actViewRemoveFilter, "actViewRemoveFilter", "Re&move Filter", "Remove current filter"},
    {A::actViewPreview, "actViewPreview", "Pre&view Panel", "Show preview panel"},
    {A::actViewToolbar, "actViewToolbar", "T&oolbar", "Show/hide toolbar"},
    {A::actViewStatusBar, "actViewStatusBar", "Status &Bar", "Show/hide status bar"},
    {A::actIconEditIcon, "actIconEditIcon", "&Edit Icon...", "Edit selected icon", ctrl('E'), 9},
    {A::actIconSave, "actIconSave", "S&ave", "Save selected icons"},
    {A::actIconSaveIcons, "actIconSaveIcons", "Save As &Icon(s)...", "Save selected icons", fkey(10), 4},
    {A::actIconSave48x48Icons, "actIconSave48x48Icons", "Save &48x48 As Icon(s)...", "Save selected 48x48 icons"},
    {A::actIconSave32x32Icons, "actIconSave32x32Icons", "Save &32x32 As Icon(s)...", "Save selected 32x32 icons"},
    {A::actIconSave16x16Icons, "actIconSave16x16Icons", "Save &16x16 As Icon(s)...", "Save selected 16x16 icons"},
    {A::actIconSaveBitmaps, "actIconSaveBitmaps", "Save As &Bitmap(s)...", "Save selected icons as bitmaps", fkey(11), 5},
    {A::actIconSave48x48Bitmaps, "actIconSave48x48Bitmaps", "Save 4&8x48 As Bitmap(s)...", "Save selected 48x48 icons as bitmaps"},
    {A::actIconSave32x32Bitmaps, "actIconSave32x32Bitmaps", "Save 3&2x32 As Bitmap(s)...", "Save selected 32x32 icons as bitmaps"},
    {A::actIconSave16x16Bitmaps, "actIconSave16x16Bitmaps", "Save 1&6x16 As Bitmap(s)...", "Save selected 16x16 icons as bitmaps"},
    {A::actIconSaveImages, "actIconSaveImages", "Save As I&mage(s)...", "Save selected icons as images", fkey(12), 10},
    {A::actIconSave48x48Images, "actIconSave48x48Images", "Sa&ve 48x48 As Image(s)...", "Save selected 48x48 icons as images"},
    {A::actIconSave32x32Images, "actIconSave32x32Images", "Sav&e 32x32 As Image(s)...", "Save selected 32x32 icons as images"},
    {A::actIconSave16x16Images, "actIconSave16x16Images", "Save 16&x16 As Image(s)...", "Save selected 16x16 icons as images"},
    {A::actIconAddToNewICL, "actIconAddToNewICL", "Add To &New Library...", "Add selected icons to a new icon library"},
    {A::actIconAddToExistingICL, "actIconAddToExistingICL", "Add To E&xisting Library...", "Add selected icons to an existing icon library"},
    {A::actIconSendTo, "actIconSendTo", "Send &To...", "Send selected icons by email", fkey(9), 14},
    {A::actIconFileProperties, "actIconFileProperties", "&File Properties", "Current icon original file properties", fkey(4), 8},
    {A::actFavoritesAdd, "actFavoritesAdd", "&Add To Favorites...", "Add current folder or file to favorites"},
    {A::actFavoritesOrganize, "actFavoritesOrganize", "&Organize Favorites...", "Organize favorite folders and files"},
    {A::actHelpContents, "actHelpContents", "Veltrazone Glyphscope &Help", "Help contents", fkey(1), 1},
    {A::actHelpTipOfTheDay, "actHelpTipOfTheDay", "&Tip Of The Day", "Show the tip of the day dialog"},
    {A::actHelpOnTheWeb, "actHelpOnTheWeb", "Veltrazone On The &Web", "Veltrazone on the Web"},
    {A::actHelpSendEmail, "actHelpSendEmail", "&Send Email", "Send email to Veltrazone"},
    {A::actHelpAbout, "actHelpAbout", "&About...", "About Veltrazone Glyphscope"},
};
// clang-format on

static_assert(std::size(kActions) == kMainActionCount, "one row per command");

constexpr bool tableInEnumOrder() {
    for (std::size_t i = 0; i < std::size(kActions); ++i)
        if (std::size_t(kActions[i].Id) != i) return false;
    return true;
}
static_assert(tableInEnumOrder(), "rows in the order of the commands");

}  // namespace

std::span<const TActionInfo> MainActionTable() { return kActions; }

const TActionInfo& ActionInfo(TMainAction id) {
    if (std::size_t(id) >= kMainActionCount) throw std::out_of_range("no such command");
    return kActions[std::size_t(id)];
}

TActionStates alMainUpdate(const TMainSnapshot& s) {
    TActionStates st{};
    const bool idle = s.Busy == TBusyState::Idle;
    auto on = [&](A a) -> bool { return st[std::size_t(a)].Enabled; };
    auto set = [&](A a, bool enabled) { st[std::size_t(a)].Enabled = enabled; };
    auto check = [&](A a, bool checked) { st[std::size_t(a)].Checked = checked; };

    check(A::actViewLargeIcon, s.ViewStyle == TViewStyle::vsIcon);
    check(A::actViewSmallIcon, s.ViewStyle == TViewStyle::vsSmallIcon);
    check(A::actViewList, s.ViewStyle == TViewStyle::vsList);
    check(A::actViewReport, s.ViewStyle == TViewStyle::vsReport);
    check(A::actViewPreview, s.PreviewVisible);
    check(A::actViewToolbar, s.ToolbarVisible);
    check(A::actViewStatusBar, s.StatusBarVisible);
    check(A::actArrangeByName, s.SortColumn == 0);
    check(A::actArrangeByFile, s.SortColumn == 1);

    // In the order of the action list: a rule that reads another command sees the state
    // that command got earlier in this pass.
    for (A head : {A::actFile, A::actEdit, A::actView, A::actIcon, A::actHelp, A::actFavorites}) set(head, true);
    set(A::actFileSelectDir, idle);
    set(A::actFileSelectFile, idle);
    set(A::actFileRecentFolders, idle && s.HasRecentFolders);
    set(A::actFileRecentFiles, idle && s.HasRecentFiles);
    set(A::actFileExtractIcons, idle && s.PathSelected);
    set(A::actFilePreferences, idle);
    set(A::actFileExit, idle);
    set(A::actEditCopyToClipboard, idle && s.SelCount == 1);
    for (A a : {A::actEditCopy48x48ToClipboard, A::actEditCopy32x32ToClipboard, A::actEditCopy16x16ToClipboard,
                A::actEditRename})
        set(a, on(A::actEditCopyToClipboard));
    set(A::actEditRemove, idle && s.SelCount > 0);
    set(A::actEditSelectAll, idle && s.ItemCount > 0);
    set(A::actEditInvert, on(A::actEditRemove));
    set(A::actEditFind, on(A::actEditSelectAll));
    set(A::actEditFindNext, on(A::actEditSelectAll) && s.FindLastIndex != -1);
    for (A a : {A::actViewView, A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport,
                A::actViewArrange})
        set(a, idle);
    set(A::actArrangeByName, true);
    set(A::actArrangeByFile, true);
    set(A::actViewFilter, s.FilterActive || on(A::actEditSelectAll));
    set(A::actViewRemoveFilter, idle && s.FilterActive);
    set(A::actViewPreview, idle);
    set(A::actViewToolbar, idle);
    set(A::actViewStatusBar, idle);
    set(A::actIconEditIcon, on(A::actEditCopyToClipboard) && s.EditorSet);
    for (std::size_t i = std::size_t(A::actIconSave); i <= std::size_t(A::actIconSendTo); ++i)
        set(A(i), on(A::actEditRemove));
    set(A::actIconFileProperties, on(A::actEditCopyToClipboard));
    set(A::actFavoritesAdd, on(A::actFileExtractIcons));
    set(A::actFavoritesOrganize, idle);
    for (A a : {A::actHelpContents, A::actHelpTipOfTheDay, A::actHelpOnTheWeb, A::actHelpSendEmail, A::actHelpAbout})
        set(a, idle);
    return st;
}

}  // namespace gs
