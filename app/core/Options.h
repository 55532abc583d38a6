#pragma once
// The user's settings for the whole run: how extraction runs, how icons are saved, how
// the list looks and how the program starts. Kept under the application key's "Options"
// in the settings store; values are stored as read, and the routines that use them take
// the clamped ones through the Effective... accessors.
#include <cstdint>
#include <string>
#include <vector>

#include "export/ImageFormats.h"
#include "framework/core/Application.h"
#include "platform/RegistryStore.h"

namespace gs {

class TKAVUOptions {
public:
    static constexpr const char* kOptionsSubkey = "Options";
    // The registry name of the extension list; its value names are the extensions.
    static constexpr const char* kExtensionsSubkey = "Filters";
    static constexpr int kMRULimitMin = 1;
    static constexpr int kMRULimitMax = 20;
    static constexpr int kLimitNumberMin = 1;
    static constexpr int kMemStopPercMin = 1;
    static constexpr int kMemStopPercMax = 100;

    static std::vector<std::string> defaultScanExtensions();

    // Reads every value under appKey\Options, each falling back to the current field; an
    // existing "Filters" subkey replaces the extension list even when it is empty. False
    // when the store could not be read at all (busy, unreachable): the fields stay.
    bool Load(TRegistryStore& store, RegRootId root, const std::string& appKey);
    // Writes every value as one transaction: on a failure the stored options stay whole.
    // False when the save did not happen; it never happens after a Load that could not
    // read the store, so values this run never saw are not lost.
    bool Save(TRegistryStore& store, RegRootId root, const std::string& appKey) const;

    // Calls v(name, field) for every option in the order they are read and written, with
    // its registry name.
    template <class V> void Visit(V&& v) { visitAll(*this, v); }
    template <class V> void Visit(V&& v) const { visitAll(*this, v); }

    int EffectiveMRULimit() const;      // 1 to 20
    int EffectiveLimitNumber() const;   // at least 1
    int EffectiveMemStopPerc() const;   // 1 to 100

    bool ShowTips = true;
    bool SaveWindow = true;
    bool PromptForFileName = false;
    bool SaveAllSizes = true;
    bool LimitIcons = false;
    bool MemStop = false;
    bool IncludeSubfolders = true;
    bool PromptForImageFormat = true;
    bool ListWindowsColors = true;
    bool PreventMultiple = true;
    bool SetTransparency = true;
    bool IgnoreRepeated = false;
    int ListTextColor = 0x000000;  // black
    int ListBackColor = 0xC0C0C0;  // silver
    int MRULimit = 10;
    int DefaultImageFormat = 0;
    int LimitNumber = 500;
    int MemStopPerc = 95;
    int ListFontSize = 0;
    std::string ListFontName = kDefaultFontName;
    std::string IconEditApp;
    std::string DefaultFolder;
    // File extensions (with their dot) a folder extraction reads; stored as "Filters".
    std::vector<std::string> ScanExtensions = defaultScanExtensions();

private:
    bool storeUnread_ = false;

    template <class Self, class V>
    static void visitAll(Self& o, V& v) {
        v("SaveWindow", o.SaveWindow);
        v("PreventMultiple", o.PreventMultiple);
        v("MRULimit", o.MRULimit);
        v("DefaultFolder", o.DefaultFolder);
        v("PromptForFileName", o.PromptForFileName);
        v("SaveAllSizes", o.SaveAllSizes);
        v("SetTransparency", o.SetTransparency);
        v("PromptForImageFormat", o.PromptForImageFormat);
        v("DefaultImageFormat", o.DefaultImageFormat);
        v("IconEditApp", o.IconEditApp);
        v("IncludeSubfolders", o.IncludeSubfolders);
        v("IgnoreRepeated", o.IgnoreRepeated);
        v("LimitIcons", o.LimitIcons);
        v("LimitNumber", o.LimitNumber);
        v("MemStop", o.MemStop);
        v("MemStopPerc", o.MemStopPerc);
        v("ListFontName", o.ListFontName);
        v("ListFontSize", o.ListFontSize);
        v("ListWindowsColors", o.ListWindowsColors);
        v("ListTextColor", o.ListTextColor);
        v("ListBackColor", o.ListBackColor);
        v(kExtensionsSubkey, o.ScanExtensions);
        v("ShowTips", o.ShowTips);
    }
};

// ListFontSize 1..6 -> 10, 11, 12, 14, 16, 18 points; anything else 8.
int FontSizeIndexToPoints(int index);

}  // namespace gs
