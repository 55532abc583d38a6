#pragma once
// The image data of one file being read. A block of the file is read once however many
// images name it (icon groups sharing an image, directory entries repeating one), and every
// block and image kept is counted against the file's one TReadBudget, so that no file makes
// us hold more than its budget whatever its directories say.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/ByteReader.h"
#include "platform/ReadBudget.h"

namespace gs {

// Image bytes as icons share them: never changed once made, so a copy of an image (or of a
// whole icon) shares them, and an image that would change them makes new ones.
using TSharedBytes = std::shared_ptr<const TBytes>;

// What one icon's images may add up to: the size of the file (a module's groups name images
// anywhere in it), or of the window the icon is read from (each entry of a container, a list
// or a cursor, is an icon file of its own, and reads the same wherever the container lies).
enum class TIconRoom { File, Window };

class TImageDataPool {
public:
    // The pool of a file (or of a window read as one file) of `fileSize` bytes.
    explicit TImageDataPool(std::uint64_t fileSize, TIconRoom room = TIconRoom::File)
        : budget_(TReadBudget::ForFile(fileSize)), fileSize_(fileSize), room_(room) {}

    // The data of one image of an icon whose images so far hold `iconBytes` (counted on):
    // `length` bytes at `offset` of `window`, shared with every other image of the file made
    // from the same bytes. Null, with nothing read, when `length` passes the largest icon
    // image or would take the icon's images past the size of the file (an icon naming one
    // image thousands of times would be written out thousands of times over); EReadError
    // when the bytes are not in the window; EOverBudget, naming `what`, when the file's
    // budget cannot take the image.
    TSharedBytes ImageData(const TByteReader& window, std::uint64_t offset, std::uint64_t length,
                          std::uint64_t& iconBytes, const std::string& what);
    // Counts one more object the reading keeps (an icon and its name).
    void TakeObject(const std::string& what) { budget_.TakeObject(what); }
    const TReadBudget& Budget() const { return budget_; }

private:
    TReadBudget budget_;
    std::uint64_t fileSize_;
    TIconRoom room_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, TSharedBytes> blocks_;  // by source offset and length
};

}  // namespace gs
