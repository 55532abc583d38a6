#include "iconlib/ImageDataPool.h"

#include <algorithm>

#include "iconlib/IconBounds.h"

namespace gs {

SharedBytes TImageDataPool::ImageData(const ByteReader& window, std::uint64_t offset, std::uint64_t length,
                                      std::uint64_t& iconBytes, const std::string& what) {
    const std::uint64_t room = room_ == TIconRoom::Window ? std::min(fileSize_, window.size()) : fileSize_;
    if (length > bounds::kMaxIconImageBytes || length > room || iconBytes > room - length) return nullptr;
    if (!window.contains(offset, length)) throw EReadError("Image data of " + what + " lies outside the file");
    budget_.takeObject(what);
    iconBytes += length;
    const auto key = std::make_pair(window.sourceOffset(offset), length);
    if (auto it = blocks_.find(key); it != blocks_.end()) return it->second;
    budget_.take(length, what);
    SharedBytes data = std::make_shared<const Bytes>(window.bytesAt(offset, length));
    blocks_.emplace(key, data);
    return data;
}

}  // namespace gs
