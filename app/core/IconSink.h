#pragma once
// The only way an extraction reaches whoever lists its icons (the main window, a test).
// Icons come in batches (the icons of one file, or a few hundred), so a listing of tens of
// thousands costs a few hundred calls, not one per icon. Each call is answered before the
// extraction goes on; when the consumer lives on another thread, a hand-over (HandOver.h)
// carries the call there and the answer back.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/core/IconDef.h"

namespace gs {

// Extracted definitions in extraction order.
using TIconBatch = std::vector<std::unique_ptr<TIconDef>>;

class IIconSink {
public:
    virtual ~IIconSink() = default;

    // Once, at the start of a run: the consumer's icon list is replaced by a new, empty one.
    virtual void ResetIconList() = 0;
    // Extracted icons: the consumer appends the definitions to its list and lists them.
    // The answer is the number of icons listed in this run so far, or -1 when the consumer
    // refused the batch (or its rest) and the extraction must stop.
    virtual int AddIcons(TIconBatch batch) = 0;
    // A file whose icons could not be read, with what went wrong. Reported before the
    // extraction ends on it, so a damaged file never passes as a finished scan.
    virtual void FileFailed(const std::filesystem::path& file, const std::string& error) = 0;
};

}  // namespace gs
