#pragma once
// The only way an extraction reaches whoever lists its icons (the main window, a test).
// Each call is answered before the extraction goes on; when the consumer lives on another
// thread, a hand-over (HandOver.h) carries the call there and the answer back.
#include <filesystem>
#include <memory>
#include <string>

#include "app/core/IconDef.h"

namespace gs {

class IconSink {
public:
    virtual ~IconSink() = default;

    // Once, at the start of a run: the consumer's icon list is replaced by a new, empty one.
    virtual void ResetIconList() = 0;
    // One extracted icon: the consumer appends the definition to its list and lists it.
    // The answer is the number of icons listed in this run so far (1 for the first), or -1
    // when the icon was refused and the extraction must stop.
    virtual int AddIcon(std::unique_ptr<TIconDef> def) = 0;
    // A file whose icons could not be read, with what went wrong. Reported before the
    // extraction ends on it, so a damaged file never passes as a finished scan.
    virtual void FileFailed(const std::filesystem::path& file, const std::string& error) = 0;
};

}  // namespace gs
