#include "iconlib/IconLibrary.h"

#include "iconlib/NEReader.h"
#include "iconlib/ModuleFormat.h"
#include "platform/ByteReader.h"
#include "platform/Errors.h"

namespace gs {

void TQBIconList::AddIcon(std::string name, std::unique_ptr<TQBIcon> icon) {
    if (!icon) return;
    if (name.empty()) name = "Icon " + std::to_string(Count() + 1);
    items_.emplace_back(std::move(name), std::move(icon));
}

const TQBIconList::Item& TQBIconList::item(int index) const {
    if (index < 0 || index >= Count()) throw indexOutOfBounds(index);
    return items_[std::size_t(index)];
}

TQBIconList::Item& TQBIconList::item(int index) {
    return const_cast<Item&>(std::as_const(*this).item(index));
}

void TQBIconList::Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

bool TQB32BitReader::Read() {
    std::shared_ptr<const TPeModule> module = Module;
    try {
        if (!module) module = Source ? std::make_shared<TPeModule>(Source) : TPeModule::open(FileName);
    } catch (const EReadError&) {
        return false;  // not loadable as a module
    }
    TImageDataPool pool(module->sourceSize());  // one budget for the whole file
    for (const TResourceName& name : module->names(RT_GROUP_ICON)) {
        pool.TakeObject("icon group " + name.display());
        auto icon = std::make_unique<TQBIcon>();
        icon->LoadFromResource(*module, name, pool);
        Icons.AddIcon(name.display(), std::move(icon));
    }
    return true;
}

TModuleKind ProbeModule(const IByteSource& src) {
    try {
        TByteReader r(src);
        if (r.U16At(0) != format::kMzSignature) return TModuleKind::None;
        const std::uint32_t at = r.U32At(format::kNewHeaderOffsetField);
        const std::uint16_t sig = r.U16At(at);
        if (sig == std::uint16_t(format::kPeSignature)) return TModuleKind::PE;
        if (sig == format::kNeSignature) return TModuleKind::NE;
    } catch (const EReadError&) {
    }
    return TModuleKind::None;
}

namespace {

// Why an icon file that declares images yielded none: its directory ends with the file, or
// no entry's data is wholly in it (or within the largest icon image).
std::string unreadableIconFile(const IByteSource& src) {
    const std::uint16_t count = iconFileImageCount(src).value_or(0);
    const std::uint64_t directory = format::kIconHeaderSize + std::uint64_t(count) * format::kIconFileEntrySize;
    const std::string declared = "The icon file declares " + std::to_string(count) + (count == 1 ? " image" : " images");
    if (src.Size() < format::kIconHeaderSize + format::kIconFileEntrySize)
        return declared + " but ends after its " + std::to_string(src.Size()) + " bytes, before its directory.";
    if (src.Size() < directory)
        return declared + " but ends at byte " + std::to_string(src.Size()) + ", inside its directory of " +
               std::to_string(directory) + " bytes, and no image in it can be read.";
    return declared + " but none of them can be read: their data lies outside the file's " + std::to_string(src.Size()) +
           " bytes or is larger than an icon image can be.";
}

// One file, opened and parsed once: the count the desktop would show and, on demand, the
// icons behind it.
class TFileIconReader {
public:
    explicit TFileIconReader(const std::filesystem::path& fileName)
        : src_(openFileSource(fileName)), kind_(ProbeModule(*src_)) {
        try {
            switch (kind_) {
                case TModuleKind::PE:
                    module_ = std::make_shared<TPeModule>(src_);
                    count_ = int(module_->names(RT_GROUP_ICON).size());
                    break;
                case TModuleKind::NE:
                    ne_ = std::make_unique<TQB16BitReader>(fileName, src_);
                    // Tables that cannot be read count as icons, so that the reading says why.
                    count_ = ne_->ReadTables();
                    if (count_ < 0) count_ = 1;
                    break;
                case TModuleKind::None: {
                    auto images = iconFileImageCount(*src_);
                    count_ = images && *images > 0 ? 1 : 0;
                    break;
                }
            }
        } catch (const std::exception&) {
            count_ = 0;  // what the desktop counts no icons in
        }
        if (count_ < 0) count_ = 0;
    }

    int Count() const { return count_; }
    int DesktopCount() const { return ne_ && !ne_->Error.empty() ? 0 : count_; }

    // Fills `into` as LoadFromFile does; raises what a module reader raises.
    TLoadResult Read(const std::filesystem::path& fileName, TQBIconLibrary& into, std::string* why) {
        if (count_ == 0) return TLoadResult::NoIcons;
        into.FileName = fileName;
        if (kind_ != TModuleKind::None) {
            std::unique_ptr<TQBICLReader> reader;
            if (module_) reader = std::make_unique<TQB32BitReader>(fileName, module_);
            if (!reader) reader = std::move(ne_);
            if (!reader->Read()) {
                if (why) *why = reader->FailureReason();
                return TLoadResult::Refused;
            }
            into.Icons.TakeOver(std::move(reader->Icons));
            return TLoadResult::Read;
        }
        auto icon = std::make_unique<TQBIcon>();
        if (!icon->LoadFromSource(*src_)) return TLoadResult::Refused;
        // An icon with nothing to show or save is no icon: the file is unreadable, and
        // says why, rather than listed empty.
        if (icon->Images().Count() == 0) throw EReadError(unreadableIconFile(*src_));
        into.Icons.AddIcon("", std::move(icon));
        return TLoadResult::Read;
    }

    // The first icon only: a module's first group is read without the others.
    std::unique_ptr<TQBIcon> ReadFirst(const std::filesystem::path& fileName) {
        if (count_ == 0) return nullptr;
        if (module_) {
            const std::vector<TResourceName> names = module_->names(RT_GROUP_ICON);
            auto icon = std::make_unique<TQBIcon>();
            if (names.empty() || !icon->LoadFromResource(*module_, names.front())) return nullptr;
            return icon;
        }
        TQBIconLibrary library;
        if (Read(fileName, library, nullptr) != TLoadResult::Read || library.Icons.Count() == 0) return nullptr;
        auto icon = std::make_unique<TQBIcon>();
        icon->Assign(*library.Icons.GetIcon(0));
        return icon;
    }

private:
    std::shared_ptr<const IByteSource> src_;
    TModuleKind kind_;
    std::shared_ptr<const TPeModule> module_;
    std::unique_ptr<TQB16BitReader> ne_;
    int count_ = 0;
};

}  // namespace

std::unique_ptr<TQBIcon> ReadFirstIcon(const std::filesystem::path& fileName) noexcept {
    try {
        return TFileIconReader(fileName).ReadFirst(fileName);
    } catch (const std::exception&) {
        return nullptr;  // unreadable: no icon, as for a file without one
    }
}

int GetIconCount(const std::filesystem::path& fileName) {
    try {
        return TFileIconReader(fileName).DesktopCount();
    } catch (const std::exception&) {
        return 0;
    }
}

TLoadResult TQBIconLibrary::LoadFromFile(const std::filesystem::path& fileName) {
    // A file that cannot be opened raises; one the desktop counts no icons in stays out of
    // every listing.
    TFileIconReader reader(fileName);
    return reader.Read(fileName, *this, nullptr);
}

TIconsRead TQBIconLibrary::Read(const std::filesystem::path& fileName) noexcept {
    TIconsRead out;
    try {
        TFileIconReader reader(fileName);
        out.Result = reader.Read(fileName, *this, &out.Reason);
    } catch (const std::bad_alloc&) {
        out.Result = TLoadResult::Failed;
        out.Reason = "Not enough memory to read the file's icons.";
    } catch (const std::exception& e) {
        out.Result = TLoadResult::Failed;
        out.Reason = e.what();
    }
    return out;
}

}  // namespace gs
