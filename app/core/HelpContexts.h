#pragma once
// The help contexts of the program's dialogs: F1 in a dialog opens the manual at the section
// of its context ("help-500" for the Preferences dialog). The manual has one section for
// each context listed here.
#include <array>

namespace gs {

inline constexpr int kPreferencesHelpContext = 500;
inline constexpr int kSelectFormatHelpContext = 550;
inline constexpr int kFavoritesHelpContext = 600;  // every favourites dialog
inline constexpr int kFilterHelpContext = 650;
inline constexpr int kFindHelpContext = 700;

inline constexpr std::array<int, 5> kHelpContexts = {kPreferencesHelpContext, kSelectFormatHelpContext,
                                                     kFavoritesHelpContext, kFilterHelpContext, kFindHelpContext};

}  // namespace gs
