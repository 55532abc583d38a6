#pragma once
// Builds a version block (VS_VERSIONINFO) in the layout resource compilers write: the
// program's own block is made with it from the build's version, so the program reads its
// version through the same parser as any other file's.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/VersionInfo.h"
#include "platform/ByteSource.h"

namespace gs {

struct TVersionBlockContent {
    std::array<std::uint16_t, 4> fileVersion{};  // major, minor, release, build
    std::array<std::uint16_t, 4> productVersion{};
    std::vector<TVersionTranslation> translations;  // one string table for each
    std::vector<std::pair<std::string, std::string>> strings;  // name, text (UTF-8)
};

TBytes buildVersionBlock(const TVersionBlockContent& content);

}  // namespace gs
