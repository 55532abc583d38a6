#pragma once
// Paths shortened for one-line display (the current file of a run, the status line).
#include <string>

namespace gs {

// Longer paths keep their head and tail around "...".
constexpr std::size_t kShortPathLimit = 75;
constexpr std::size_t kShortPathHead = 20;
constexpr std::size_t kShortPathTail = 50;

// A path of more than 75 characters becomes its first 20, "..." and its last 50; shorter
// ones are returned unchanged. Characters are UTF-8 sequences, never cut in two.
std::string ShortenPath(const std::string& path);

}  // namespace gs
