// gsprobe subcommands over the command line and the options:
//   cmdline ARG...        the parse result, one field a line
//   options show          every option: the value stored and the value in effect
//   options save          loads the options (defaults on a new store) and saves them
// The store is the one GLYPHSCOPE_REGISTRY names.
#include <iostream>
#include <type_traits>

#include "Probe.h"
#include "app/core/AppIdentity.h"
#include "app/core/CmdLine.h"
#include "app/core/Options.h"

namespace {

using namespace gs;

const char* modeName(TRunMode m) {
    static const char* names[] = {"rmNone", "rmFile", "rmFolder", "rmBatch"};
    return names[int(m)];
}

const char* formatName(TBatchFormat f) { return ImageFormatOf(f).Word; }

const char* sizeName(TBatchIconSize s) {
    static const char* names[] = {"all", "48", "32", "16"};
    return names[int(s)];
}

int cmdline(const gsprobe::Args& args) {
    TCommandLine cl = ParseCommandLine(args);
    const TBatchJob& job = cl.BatchJob;
    std::cout << "mode=" << modeName(cl.Mode) << "\nstart=" << cl.StartPath << "\nfilespec=" << job.FileSpec
              << "\ntarget=" << job.TargetDir << "\nformat=" << formatName(job.Format)
              << "\nsize=" << sizeName(job.IconSize) << "\ntransparent=" << std::boolalpha << job.Transparent
              << "\nsilent=" << job.Silent << '\n';
    if (!cl.Refusal.empty()) std::cout << "refused=" << cl.Refusal << '\n';
    return 0;
}

std::string joined(const std::vector<std::string>& list) {
    std::string s;
    for (const auto& item : list) s += (s.empty() ? "" : " ") + item;
    return s;
}

std::string storedValue(TRegTransaction& t, const std::string& key, const char* name, bool isList) {
    std::optional<RegKeyId> k = t.OpenKey(kAppRegRoot, key);
    if (isList) {
        std::optional<RegKeyId> sub = k ? t.OpenSubkey(*k, name) : std::nullopt;
        return sub ? "[" + joined(t.ValueNames(*sub)) + "]" : "(missing)";
    }
    std::optional<TRegValue> v;
    try {
        v = k ? t.ReadValue(*k, name) : std::nullopt;
    } catch (const ERegistryError&) {
        return "(unreadable)";
    }
    if (!v) return "(missing)";
    if (auto n = v->Number()) return "REG_DWORD:" + std::to_string(*n);
    if (auto s = v->Text()) return (v->type == RegType::Sz ? "REG_SZ:" : "REG_EXPAND_SZ:") + *s;
    return "REG_BINARY";
}

template <class T>
std::string shown(const T& value) {
    if constexpr (std::is_same_v<T, bool>) return value ? "true" : "false";
    else if constexpr (std::is_same_v<T, int>) return std::to_string(value);
    else if constexpr (std::is_same_v<T, std::string>) return value;
    else return "[" + joined(value) + "]";
}

int showOptions(TRegistryStore& store) {
    TKAVUOptions o;
    o.Load(store, kAppRegRoot, kRegAppKey);
    const std::string key = std::string(kRegAppKey) + "\\" + TKAVUOptions::kOptionsSubkey;
    TRegTransaction t = store.begin(TRegistryStore::Mode::Read);
    o.Visit([&](const char* name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        std::string effective = shown(field);
        if (&field == static_cast<const void*>(&o.MRULimit)) effective = shown(o.EffectiveMRULimit());
        if (&field == static_cast<const void*>(&o.LimitNumber)) effective = shown(o.EffectiveLimitNumber());
        if (&field == static_cast<const void*>(&o.MemStopPerc)) effective = shown(o.EffectiveMemStopPerc());
        std::cout << name << " stored=" << storedValue(t, key, name, std::is_same_v<T, std::vector<std::string>>)
                  << " effective=" << effective << '\n';
    });
    return 0;
}

int options(const gsprobe::Args& args) {
    if (args.size() != 1 || (args[0] != "show" && args[0] != "save")) {
        std::cerr << "usage: gsprobe options show|save\n";
        return gsprobe::kUsage;
    }
    TRegistryStore& store = defaultRegistryStore();
    if (args[0] == "show") return showOptions(store);
    TKAVUOptions o;
    o.Load(store, kAppRegRoot, kRegAppKey);
    return o.Save(store, kAppRegRoot, kRegAppKey) ? 0 : 1;
}

gsprobe::Registrar cmdlineCommand("cmdline", cmdline);
gsprobe::Registrar optionsCommand("options", options);

}  // namespace
