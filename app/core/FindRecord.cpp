#include "app/core/FindRecord.h"

#include "app/core/Filters.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace gs {

bool ItemMatches(const std::string& caption, const std::string& filePath, const TFindInfo& info) {
    auto fold = [&](const std::string& s) { return info.MatchCase ? s : UpperAscii(s); };
    const std::string text = fold(info.Text);
    const bool inName = fold(caption).find(text) != std::string::npos;
    const bool inFile = fold(filePath).find(text) != std::string::npos;
    switch (info.Where) {
        case 0: return inName;
        case 1: return inFile;
        default: return inName || inFile;
    }
}

int FindNext(int itemCount, const TFindItem& item, TFindInfo& info) {
    for (int i = info.LastIndex < -1 ? 0 : info.LastIndex + 1; i < itemCount; ++i) {
        const auto [caption, file] = item(i);
        if (ItemMatches(caption, file, info)) {
            info.LastIndex = i;
            return i;
        }
    }
    throw EQBException(FormatOne(kMsgSearchNotFound, info.Text), "", TQBSeverity::Information);
}

}  // namespace gs
