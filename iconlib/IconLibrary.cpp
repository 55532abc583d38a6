#include "iconlib/IconLibrary.h"

#include "iconlib/NEReader.h"
#include "iconlib/ModuleFormat.h"
#include "platform/ByteReader.h"
#include "platform/Errors.h"

namespace gs {

namespace {
}  // namespace

void TQBIconList::AddIcon(std::string name, std::unique_ptr<TQBIcon> icon) {
    if (!icon) return;
    if (name.empty()) name = "Icon " + std::to_string(Count() + 1);
    items_.emplace_back(std::move(name), std::move(icon));
}

void TQBIconList::Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

bool TQB32BitReader::Read() {
    std::shared_ptr<const PeModule> module = Module;
    try {
        if (!module) module = Source ? std::make_shared<PeModule>(Source) : PeModule::open(FileName);
    } catch (const EReadError&) {
        return false;  // not loadable as a module
    }
    for (const ResourceName& name : module->names(RT_GROUP_ICON)) {
        auto icon = std::make_unique<TQBIcon>();
        icon->LoadFromResource(*module, name);
        Icons.AddIcon(name.display(), std::move(icon));
    }
    return true;
}

TModuleKind ProbeModule(const ByteSource& src) {
    try {
        ByteReader r(src);
        if (r.u16At(0) != format::kMzSignature) return TModuleKind::None;
        const std::uint32_t at = r.u32At(format::kNewHeaderOffsetField);
        const std::uint16_t sig = r.u16At(at);
        if (sig == format::kPeSignature) return TModuleKind::PE;
        if (sig == format::kNeSignature) return TModuleKind::NE;
    } catch (const EReadError&) {
    }
    return TModuleKind::None;
}

int GetIconCount(const std::filesystem::path& fileName) {
    try {
        return GetIconCount(openFileSource(fileName));
    } catch (const std::exception&) {
        return 0;
    }
}

int GetIconCount(const std::shared_ptr<const ByteSource>& src) {
    try {
        switch (ProbeModule(*src)) {
            case TModuleKind::PE: return int(PeModule(src).names(RT_GROUP_ICON).size());
            case TModuleKind::NE: return TQB16BitReader::CountGroups(*src);
            case TModuleKind::None: break;
        }
        auto count = iconFileImageCount(*src);
        return count && *count > 0 ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

TLoadResult TQBIconLibrary::LoadFromFile(const std::filesystem::path& fileName) {
    // A file that cannot be opened raises; one the desktop counts no icons in stays out of
    // every listing.
    auto src = openFileSource(fileName);
    const TModuleKind kind = ProbeModule(*src);
    // A PE module's headers and directories are read once, for the count and the reading.
    std::shared_ptr<const PeModule> module;
    if (kind == TModuleKind::PE) {
        try {
            module = std::make_shared<PeModule>(src);
            if (module->names(RT_GROUP_ICON).empty()) return TLoadResult::NoIcons;
        } catch (const std::exception&) {
            return TLoadResult::NoIcons;  // what the desktop counts no icons in
        }
    } else if (GetIconCount(src) == 0) {
        return TLoadResult::NoIcons;
    }
    FileName = fileName;
    if (kind != TModuleKind::None) {
        std::unique_ptr<TQBICLReader> reader;
        if (module)
            reader = std::make_unique<TQB32BitReader>(fileName, module);
        else
            reader = std::make_unique<TQB16BitReader>(fileName, src);
        if (!reader->Read()) return TLoadResult::Refused;
        Icons.TakeOver(std::move(reader->Icons));
        return TLoadResult::Read;
    }
    auto icon = std::make_unique<TQBIcon>();
    if (!icon->LoadFromSource(*src)) return TLoadResult::Refused;
    Icons.AddIcon("", std::move(icon));
    return TLoadResult::Read;
}

}  // namespace gs
