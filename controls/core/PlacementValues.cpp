#include "controls/core/PlacementValues.h"

#include <algorithm>
#include <cstdio>

namespace gs {

namespace {

constexpr const char* kFlags = "Flags";
constexpr const char* kShowCmd = "ShowCmd";
constexpr const char* kPixels = "PixelsPerInch";
constexpr const char* kMinMaxPos = "MinMaxPos";
constexpr const char* kNormPos = "NormPos";
constexpr const char* kPosDelims = " ,";

std::string fourNumbers(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d);
}

int wordNumber(const std::string& text, int n, int def) {
    return ParseInteger(NthWord(n, text, kPosDelims)).value_or(def);
}

}  // namespace

std::string ScreenSizeSuffix(const TScreenInfo& screen) {
    return "(" + std::to_string(screen.Width) + "x" + std::to_string(screen.Height) + ")";
}

std::string ReadPosValue(IPlacementStorage& storage, const std::string& section, const std::string& ident,
                         const TScreenInfo& screen) {
    std::string text = storage.ReadString(section, ident + ScreenSizeSuffix(screen), "");
    if (text.empty()) text = storage.ReadString(section, ident, "");
    return text;
}

void WritePosValue(IPlacementStorage& storage, const std::string& section, const std::string& ident,
                   const std::string& text, const TScreenInfo& screen) {
    storage.WriteString(section, ident + ScreenSizeSuffix(screen), text);
    storage.WriteString(section, ident, text);
}

void StoreFormPlacement(IPlacementStorage& storage, const std::string& section, const TWindowPlacement& p,
                        const TScreenInfo& screen) {
    storage.WriteInteger(section, kFlags, p.Flags);
    storage.WriteInteger(section, kShowCmd, p.ShowCmd);
    storage.WriteInteger(section, kPixels, screen.PixelsPerInch);
    WritePosValue(storage, section, kMinMaxPos, fourNumbers(p.MinX, p.MinY, p.MaxX, p.MaxY), screen);
    const TScreenRect& r = p.Normal;
    WritePosValue(storage, section, kNormPos, fourNumbers(r.Left, r.Top, r.Right, r.Bottom), screen);
}

TScreenRect ClampRectToArea(TScreenRect r, const TScreenRect& area) {
    const int width = std::min(r.Width(), area.Width()), height = std::min(r.Height(), area.Height());
    const int left = std::clamp(r.Left, area.Left, area.Right - width);
    const int top = std::clamp(r.Top, area.Top, area.Bottom - height);
    return {left, top, left + width, top + height};
}

std::optional<TWindowPlacement> LoadPlacementPosition(IPlacementStorage& storage, const std::string& section,
                                                      const TWindowPlacement& current, bool sizeable,
                                                      const TScreenInfo& screen) {
    TWindowPlacement p = current;
    p.Flags = storage.ReadInteger(section, kFlags, current.Flags);
    const std::string minMax = ReadPosValue(storage, section, kMinMaxPos, screen);
    if (!minMax.empty()) {
        p.MinX = wordNumber(minMax, 1, 0);
        p.MinY = wordNumber(minMax, 2, 0);
        p.MaxX = wordNumber(minMax, 3, 0);
        p.MaxY = wordNumber(minMax, 4, 0);
    }
    const std::string norm = ReadPosValue(storage, section, kNormPos, screen);
    const TScreenRect& c = current.Normal;
    if (!norm.empty())
        p.Normal = {wordNumber(norm, 1, c.Left), wordNumber(norm, 2, c.Top), wordNumber(norm, 3, c.Right),
                    wordNumber(norm, 4, c.Bottom)};
    const int pixels = storage.ReadInteger(section, kPixels, screen.PixelsPerInch);
    if ((minMax.empty() && norm.empty()) || pixels != screen.PixelsPerInch) return std::nullopt;
    if (!sizeable) p.Normal = {p.Normal.Left, p.Normal.Top, p.Normal.Left + c.Width(), p.Normal.Top + c.Height()};
    // A rectangle with no width or no height is no placement.
    if (p.Normal.Left >= p.Normal.Right || p.Normal.Top >= p.Normal.Bottom) return std::nullopt;
    if (screen.Available.Width() > 0 && screen.Available.Height() > 0)
        p.Normal = ClampRectToArea(p.Normal, screen.Available);
    return p;
}

std::optional<int> LoadPlacementShowCmd(IPlacementStorage& storage, const std::string& section) {
    switch (storage.ReadInteger(section, kShowCmd, 0)) {
        case 1: case 5: case 9: return kSwShowNormal;
        case 2: case 6: case 7: return kSwShowMinimized;
        case 3: return kSwShowMaximized;
        default: return std::nullopt;
    }
}

}  // namespace gs
