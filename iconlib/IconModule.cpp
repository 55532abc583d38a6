#include "iconlib/IconModule.h"

#include <charconv>
#include <optional>

#include "iconlib/IconLibrary.h"
#include "iconlib/NEReader.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace gs {

namespace {

EResNotFound notFound(const std::string& name) { return EResNotFound("Resource " + name + " not found"); }

bool sameName(const std::string& a, const std::string& b) { return foldCaseUtf8(a) == foldCaseUtf8(b); }

// "12" or "#12": an integer id, when the digits make one.
std::optional<std::uint16_t> idOf(const std::string& name) {
    const std::size_t from = name.starts_with('#') ? 1 : 0;
    std::uint16_t id = 0;
    const char* end = name.data() + name.size();
    const auto [at, ec] = std::from_chars(name.data() + from, end, id);
    if (from == name.size() || ec != std::errc() || at != end) return std::nullopt;
    return id;
}

class TPeIconModule final : public IIconModule {
public:
    explicit TPeIconModule(std::shared_ptr<const IByteSource> source) : module_(std::move(source)) {}
    std::vector<std::string> GroupNames() const override {
        std::vector<std::string> names;
        for (const TResourceName& n : module_.names(RT_GROUP_ICON)) names.push_back(n.display());
        return names;
    }
    std::unique_ptr<TQBIcon> LoadIcon(const std::string& name) const override {
        const std::optional<std::uint16_t> id = idOf(name);
        for (const TResourceName& n : module_.names(RT_GROUP_ICON)) {
            if (n.isId ? !(id && *id == n.id) : !sameName(n.name, name)) continue;
            auto icon = std::make_unique<TQBIcon>();
            icon->LoadFromResource(module_, n);
            return icon;
        }
        throw notFound(name);
    }

private:
    TPeModule module_;
};

// The 16-bit reader reads every group at once; the module keeps what it read.
class TNeIconModule final : public IIconModule {
public:
    TNeIconModule(const std::filesystem::path& fileName, std::shared_ptr<const IByteSource> source) {
        TQB16BitReader reader(fileName, std::move(source));
        if (!reader.Read()) throw EReadError(reader.Error.empty() ? "Not a module" : reader.Error);
        icons_.TakeOver(std::move(reader.Icons));
    }
    std::vector<std::string> GroupNames() const override {
        std::vector<std::string> names;
        for (int i = 0; i < icons_.Count(); ++i) names.push_back(icons_.Name(i));
        return names;
    }
    std::unique_ptr<TQBIcon> LoadIcon(const std::string& name) const override {
        for (int i = 0; i < icons_.Count(); ++i) {
            if (!sameName(icons_.Name(i), name)) continue;
            auto icon = std::make_unique<TQBIcon>();
            icon->Assign(*icons_.GetIcon(i));
            return icon;
        }
        throw notFound(name);
    }

private:
    TQBIconList icons_;
};

}  // namespace

std::unique_ptr<IIconModule> IIconModule::Open(const std::filesystem::path& fileName) {
    std::shared_ptr<const IByteSource> source = openFileSource(fileName);
    switch (ProbeModule(*source)) {
        case TModuleKind::PE: return std::make_unique<TPeIconModule>(std::move(source));
        case TModuleKind::NE: return std::make_unique<TNeIconModule>(fileName, std::move(source));
        case TModuleKind::None: break;
    }
    throw EReadError("Not a module: " + fileName.string());
}

}  // namespace gs
