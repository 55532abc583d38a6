#pragma once
// A window's placement as text values of one section: "Flags", "ShowCmd", "PixelsPerInch",
// and "MinMaxPos" and "NormPos" written twice, under the identifier followed by the screen
// size ("NormPos(1024x768)") and under the bare identifier. A value stored for the current
// screen size wins over the bare one.
#include <optional>
#include <string>

#include "controls/core/PlacementStorage.h"
#include "framework/core/RxUtils.h"

namespace gs {

// Show commands of a window's placement.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShowMaximized = 3;

struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = kSwShowNormal;
    int MinX = -1, MinY = -1, MaxX = -1, MaxY = -1;
    TScreenRect Normal;  // the normal (restored) window rectangle
    friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

// Limits of a window's size and of its maximised size and place; 0 is "not set".
struct TWinMinMaxInfo {
    int MaxPosLeft = 0, MaxPosTop = 0;
    int MaxSizeHeight = 0, MaxSizeWidth = 0;
    int MaxTrackHeight = 0, MaxTrackWidth = 0;
    int MinTrackHeight = 0, MinTrackWidth = 0;
    bool IsSet() const { return *this != TWinMinMaxInfo{}; }
    friend bool operator==(const TWinMinMaxInfo&, const TWinMinMaxInfo&) = default;
};

// What the placement is read and written against.
struct TScreenInfo {
    int Width = 0, Height = 0;  // the primary screen in pixels
    int PixelsPerInch = 96;
    TScreenRect Available;      // the desktop a window may take
};

std::string ScreenSizeSuffix(const TScreenInfo& screen);
std::string ReadPosValue(IPlacementStorage& storage, const std::string& section, const std::string& ident,
                         const TScreenInfo& screen);
void WritePosValue(IPlacementStorage& storage, const std::string& section, const std::string& ident,
                   const std::string& text, const TScreenInfo& screen);

void StoreFormPlacement(IPlacementStorage& storage, const std::string& section, const TWindowPlacement& placement,
                        const TScreenInfo& screen);

// The stored position over `current`, or nothing when none is to be applied: no position
// text, another pixels per inch, or a rectangle without width or height. A window that is
// not sizeable keeps its size at the stored place. The rectangle is moved (and, when larger,
// shrunk) into the available desktop.
std::optional<TWindowPlacement> LoadPlacementPosition(IPlacementStorage& storage, const std::string& section,
                                                      const TWindowPlacement& current, bool sizeable,
                                                      const TScreenInfo& screen);
// The stored show command, or nothing when none is stored (or it is not one of the known).
std::optional<int> LoadPlacementShowCmd(IPlacementStorage& storage, const std::string& section);

// A rectangle moved into the area, shrunk first to the area's size when larger.
TScreenRect ClampRectToArea(TScreenRect r, const TScreenRect& area);

}  // namespace gs
