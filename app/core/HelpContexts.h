#pragma once
// The help contexts of the program's dialogs and menus: F1 in a dialog opens the manual at
// the section of its context ("help-500" for the Preferences dialog). The manual has one
// section for each context listed here.
#include <array>

namespace gs {

inline constexpr int kPreferencesHelpContext = 500;
inline constexpr int kSelectFormatHelpContext = 550;
inline constexpr int kFavoritesHelpContext = 600;  // every favourites dialog
inline constexpr int kFilterHelpContext = 650;
inline constexpr int kFindHelpContext = 700;
// The main window's Select Folder and Select File dialogs, and the small windows.
inline constexpr int kSelectFolderHelpContext = 101;
inline constexpr int kSelectFileHelpContext = 102;
inline constexpr int kTipOfTheDayHelpContext = 800;
inline constexpr int kAboutHelpContext = 810;
inline constexpr int kFilePropertiesHelpContext = 820;
// The save commands' dialogs (destination folder, file names); the icon library dialogs
// are the Icon menu's.
inline constexpr int kSaveHelpContext = 160;

// The main window's menus: F1 on any of a menu's commands opens the manual at that menu's
// section (the toolbar's drop-down menus and the list's Save menu at the menu that holds the
// same commands).
inline constexpr int kFileMenuHelpContext = 100;
inline constexpr int kEditMenuHelpContext = 110;
inline constexpr int kViewMenuHelpContext = 120;
inline constexpr int kIconMenuHelpContext = 130;
inline constexpr int kFavoritesMenuHelpContext = 140;
inline constexpr int kHelpMenuHelpContext = 150;

inline constexpr std::array<int, 17> kHelpContexts = {
    kSaveHelpContext,
    kPreferencesHelpContext,  kSelectFormatHelpContext, kFavoritesHelpContext,     kFilterHelpContext,
    kFindHelpContext,         kSelectFolderHelpContext, kSelectFileHelpContext,    kTipOfTheDayHelpContext,
    kAboutHelpContext,        kFilePropertiesHelpContext, kFileMenuHelpContext,    kEditMenuHelpContext,
    kViewMenuHelpContext,     kIconMenuHelpContext,     kFavoritesMenuHelpContext, kHelpMenuHelpContext};

}  // namespace gs
