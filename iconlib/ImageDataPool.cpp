#include "iconlib/ImageDataPool.h"

#include <algorithm>

#include "iconlib/IconBounds.h"

namespace gs {

TSharedBytes TImageDataPool::ImageData(const TByteReader& window, std::uint64_t offset, std::uint64_t length,
                                      std::uint64_t& iconBytes, const std::string& what) {
    const std::uint64_t room = room_ == TIconRoom::Window ? std::min(fileSize_, window.Size()) : fileSize_;
    if (length > bounds::kMaxIconImageBytes || length > room || iconBytes > room - length) return nullptr;
    if (!window.Contains(offset, length)) throw EReadError("Image data of " + what + " lies outside the file");
    budget_.TakeObject(what);
    iconBytes += length;
    const auto key = std::make_pair(window.SourceOffset(offset), length);
    if (auto it = blocks_.find(key); it != blocks_.end()) return it->second;
    budget_.Take(length, what);
    TSharedBytes data = std::make_shared<const TBytes>(window.BytesAt(offset, length));
    blocks_.emplace(key, data);
    return data;
}

}  // namespace gs
