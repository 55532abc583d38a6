#include "toolbar/core/FloatingSizes.h"

#include <algorithm>
#include <cstdlib>

namespace tb {

std::vector<TFloatingSize> BuildFloatingSizes(const TWrapCalculator& calculate, int sideMargins) {
    std::vector<TFloatingSize> sizes;
    TWrappedSize single = calculate(0);
    sizes.push_back(single.size);
    int lastRows = 1;
    // Every step either lowers `i` or ends: a calculator answering nonsense cannot loop.
    for (int i = single.size.width - 1; i >= sideMargins;) {
        TWrappedSize s = calculate(i);
        if (s.size.width > i) break;
        if (s.size.width < i) {
            i = s.size.width;
            continue;
        }
        if (s.rows == lastRows) sizes.back() = s.size;
        else sizes.push_back(s.size);
        lastRows = s.rows;
        --i;
    }
    return sizes;
}

TFloatingResizeTrack::TFloatingResizeTrack(TSizeHandle handle, std::vector<TFloatingSize> sizes,
                                           TFloatingSize nonClient, int border, const TRect& start,
                                           int startFloatingWidth)
    : handle_(handle), sizes_(std::move(sizes)), start_(start), border_(border), floatingWidth_(startFloatingWidth) {
    if (sizes_.empty()) sizes_.push_back({start.Width() - nonClient.width, start.Height() - nonClient.height});
    for (TFloatingSize& s : sizes_) {
        s.width += nonClient.width;
        s.height += nonClient.height;
    }
    const TFloatingSize single = sizes_.front();
    std::stable_sort(sizes_.begin(), sizes_.end(),
                     [this](const TFloatingSize& a, const TFloatingSize& b) { return lengthOf(a) > lengthOf(b); });
    // The one-row entry is the widest and the least tall.
    singleRow_ = std::size_t(std::find(sizes_.begin(), sizes_.end(), single) - sizes_.begin());
    const int startLength = horizontal() ? start.Width() : start.Height();
    for (const TFloatingSize& s : sizes_)
        if (lengthOf(s) != startLength) snap_ = std::min(snap_, std::abs(lengthOf(s) - startLength) - 1);
    snap_ = std::max(snap_, 0);
}

TRect TFloatingResizeTrack::Track(TPoint cursor) {
    const bool fromStartEdge = handle_ == TSizeHandle::Left || handle_ == TSizeHandle::Top;
    const int startLength = horizontal() ? start_.Width() : start_.Height();
    const int edge = horizontal() ? start_.left : start_.top;
    const int distance = (horizontal() ? cursor.x : cursor.y) - edge;
    int request = fromStartEdge ? startLength - distance : distance;

    const bool longer = request > startLength;
    if ((!lastDiffered_ || longer != lastLonger_) && request >= startLength - snap_ && request < startLength + snap_)
        request = startLength;
    lastLonger_ = longer;

    std::size_t taken;
    if (request > startLength) {  // the shortest entry longer than the request
        taken = 0;
        for (std::size_t i = 0; i < sizes_.size(); ++i)
            if (lengthOf(sizes_[i]) > request) taken = i;
    } else {  // the longest entry not longer than it
        taken = sizes_.size() - 1;
        for (std::size_t i = sizes_.size(); i-- > 0;)
            if (lengthOf(sizes_[i]) <= request) taken = i;
    }
    const TFloatingSize& s = sizes_[taken];
    TRect r{start_.left, start_.top, start_.left + s.width, start_.top + s.height};
    if (handle_ == TSizeHandle::Left) r = {start_.right - s.width, start_.top, start_.right, start_.top + s.height};
    if (handle_ == TSizeHandle::Top) r = {start_.left, start_.bottom - s.height, start_.left + s.width, start_.bottom};
    lastDiffered_ = !(r == start_);
    floatingWidth_ = taken == singleRow_ ? 0 : s.width - 2 * border_;
    return r;
}

}  // namespace tb
