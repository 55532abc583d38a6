#pragma once
// The search of the icon list: where to look (name, file or both), the text, the case
// rule, and the index of the last hit, so that Find Next goes on after it. The list is seen
// through a callback, so the search runs on any list of captions and files.
#include <functional>
#include <string>
#include <utility>

#include "app/core/AppContext.h"

namespace gs {

inline constexpr const char* kMsgSearchNotFound = "Search string '%s' not found.";

// Where 0: the text occurs in the caption; 1: in the file path; any other: in either.
// Without MatchCase the letters a to z count without regard to case.
bool ItemMatches(const std::string& caption, const std::string& filePath, const TFindInfo& info);

// The caption and the file path of the item at an index of the list.
using TFindItem = std::function<std::pair<std::string, std::string>(int index)>;

// The first item from LastIndex + 1 to the end that matches: LastIndex takes its index and
// it is answered. Without one, EQBException "Search string '...' not found." (information)
// and LastIndex stays. There is no wrap-around.
int FindNext(int itemCount, const TFindItem& item, TFindInfo& info);

}  // namespace gs
