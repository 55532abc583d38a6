#pragma once
// The desktop's file types, read from the shared-mime-info database and the icon themes as
// the files they are (so the core needs no toolkit): a name's type by its extension glob, the
// type's description, its icon name and the icon file a theme gives for it.
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

class TMimeInfo {
public:
    // Each folder is a data folder holding mime/ and icons/ (as /usr/share does), searched
    // in order.
    explicit TMimeInfo(std::vector<std::filesystem::path> dataDirs);
    // The session's folders: $XDG_DATA_HOME (or ~/.local/share), then $XDG_DATA_DIRS (or
    // /usr/local/share:/usr/share). Made on first use.
    static const TMimeInfo& Session();

    // The type whose "*.ext" glob in globs2 ends the name (letter case ignored unless the
    // glob is marked case-sensitive): the highest weight, then the longest glob. Empty when
    // none does.
    std::string TypeOfName(const std::string& fileName) const;
    // The untranslated <comment> of the type's definition; empty when there is none.
    std::string Comment(const std::string& type) const;
    // The type's icon ("icons" file, else the type with "/" as "-"), and its generic icon
    // ("generic-icons" file, else the media type and "-x-generic").
    std::string IconName(const std::string& type) const;
    std::string GenericIconName(const std::string& type) const;
    // A PNG file of the icon: the hicolor theme and then the other themes (in name order)
    // under each data folder, the 32-pixel size first, then the pixmaps folder. Empty when
    // none is found (scalable pictures are not icons our readers take).
    std::filesystem::path IconFile(const std::string& iconName) const;

private:
    struct Glob {
        int weight;
        std::string type, suffix;  // suffix with its dot, lower-case unless caseSensitive
        bool caseSensitive;
    };
    void readGlobs(const std::filesystem::path& file);
    std::string lookup(const char* fileName, const std::string& type) const;

    std::vector<std::filesystem::path> dirs_;
    std::vector<Glob> globs_;
};

}  // namespace gs
