#pragma once
// What the Preferences dialog decides apart from its widgets: the checks OK and Apply make
// before anything is written, the rules of the scanned-extensions list, and how the shell
// verb's status shows in its three-state box.
#include <functional>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* kMsgInvalidDefaultFolder = "Invalid default folder.";
inline constexpr const char* kMsgInvalidLimit = "Invalid limit value.";
inline constexpr const char* kMsgInvalidLimitDetails = "Valid values are between 0 and 10000.";
inline constexpr const char* kMsgInvalidEditApp = "Invalid icon edit application location.";
inline constexpr const char* kMsgFilterSyntax = "File filters must follow the syntax .??? (p.e.: .ico).";
inline constexpr int kLimitCheckMax = 10000;

// The typed entries the checks look at.
struct TOptionsEntries {
    std::string DefaultFolder;
    std::string LimitText;
    std::string IconEditApp;
};
using TExistsTest = std::function<bool(const std::string&)>;

// In this order: a non-empty default folder that is no existing folder; an empty or
// unreadable limit, or one below 0 or above 10000; a non-empty editor that is no existing
// file. Each raises EQBException of severity 1; the dialog stays open and nothing is written.
void CheckOptionsEntries(const TOptionsEntries& entries, const TExistsTest& folderExists, const TExistsTest& fileExists);

// The extensions list is kept sorted without regard to case. Adding needs a leading "."
// (EQBException of severity 2 otherwise) and adds nothing that is listed in another case;
// the answer is the index of the entry to select.
int AddScanExtension(std::vector<std::string>& list, const std::string& text);
// Removes an entry; the answer is the entry now at that place, the last one when the
// removed one was last, or -1 when the list is empty.
int RemoveScanExtension(std::vector<std::string>& list, int index);
void SortScanExtensions(std::vector<std::string>& list);

enum class TCheckState { Unchecked, PartiallyChecked, Checked };
// None of the verb's classes registered, some, or all.
TCheckState ShellBoxState(int shellVerbStatus);
// A click on the shell box goes between checked and unchecked: grey only shows a verb found
// partly registered, and a first click on it registers the verb in full.
TCheckState ShellBoxClicked(TCheckState shown);

}  // namespace gs
