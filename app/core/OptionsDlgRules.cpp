#include "app/core/OptionsDlgRules.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "framework/core/Exceptions.h"
#include <cctype>

namespace gs {

namespace {
bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}
bool equalNoCase(const std::string& a, const std::string& b) { return !lessNoCase(a, b) && !lessNoCase(b, a); }

bool readLimit(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}
}  // namespace

void CheckOptionsEntries(const TOptionsEntries& e, const TExistsTest& folderExists, const TExistsTest& fileExists) {
    if (!e.DefaultFolder.empty() && !folderExists(e.DefaultFolder))
        throw EQBException(kMsgInvalidDefaultFolder, "", TQBSeverity::Warning);
    long limit = 0;
    if (!readLimit(e.LimitText, limit) || limit < 0 || limit > kLimitCheckMax)
        throw EQBException(kMsgInvalidLimit, kMsgInvalidLimitDetails, TQBSeverity::Warning);
    if (!e.IconEditApp.empty() && !fileExists(e.IconEditApp))
        throw EQBException(kMsgInvalidEditApp, "", TQBSeverity::Warning);
}

void SortScanExtensions(std::vector<std::string>& list) { std::stable_sort(list.begin(), list.end(), lessNoCase); }

int AddScanExtension(std::vector<std::string>& list, const std::string& text) {
    if (!text.starts_with('.')) throw EQBException(kMsgFilterSyntax, "", TQBSeverity::Information);
    auto found = std::find_if(list.begin(), list.end(), [&](const std::string& e) { return equalNoCase(e, text); });
    if (found == list.end()) {
        found = list.insert(std::upper_bound(list.begin(), list.end(), text, lessNoCase), text);
    }
    return int(found - list.begin());
}

int RemoveScanExtension(std::vector<std::string>& list, int index) {
    if (index < 0 || index >= int(list.size())) return list.empty() ? -1 : std::min(index, int(list.size()) - 1);
    list.erase(list.begin() + index);
    if (list.empty()) return -1;
    return std::min(index, int(list.size()) - 1);
}

TCheckState ShellBoxState(int status) {
    if (status <= 0) return TCheckState::Unchecked;
    return status >= 2 ? TCheckState::Checked : TCheckState::PartiallyChecked;
}

TCheckState ShellBoxClicked(TCheckState shown) {
    return shown == TCheckState::Checked ? TCheckState::Unchecked : TCheckState::Checked;
}

}  // namespace gs
