#include "toolbar/core/Hooks.h"

#include <algorithm>

#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

// The hook kinds a set of codes needs, as a bit set of kinds.
unsigned kindsOf(THookCodes codes) {
    unsigned kinds = 0;
    for (unsigned c = 0; c < 4; ++c)
        if (codes & (1u << c)) kinds |= 1u << unsigned(HookKindOf(THookCode(c)));
    return kinds;
}

}  // namespace

THookCodes THookRegistry::Record::codes() const {
    THookCodes all = 0;
    for (const Registration& r : registrations) all |= r.codes;
    return all;
}

THookRegistry::THookRegistry(Installer install, Uninstaller uninstall)
    : install_(std::move(install)), uninstall_(std::move(uninstall)) {}

THookRegistry::~THookRegistry() {
    for (auto& r : records_) r->removed = true;
    UninstallHooks(0x0F, true);
}

void THookRegistry::InstallHooks(THookCodes codes) {
    unsigned kinds = kindsOf(codes);
    for (int k = 0; k < kHookKinds; ++k) {
        if (!(kinds & (1u << k))) continue;
        Kind& kind = kinds_[std::size_t(k)];
        ++kind.uses;
        if (!kind.installed) kind.installed = install_ ? install_(k) : true;
    }
}

void THookRegistry::UninstallHooks(THookCodes codes, bool force) {
    unsigned kinds = kindsOf(codes);
    for (int k = 0; k < kHookKinds; ++k) {
        if (!(kinds & (1u << k))) continue;
        Kind& kind = kinds_[std::size_t(k)];
        if (kind.uses > 0) --kind.uses;
        if ((force || kind.uses == 0) && kind.installed) {
            kind.installed = false;
            if (uninstall_) uninstall_(k);
        }
    }
}

void THookRegistry::RegisterHookProc(THookProc proc, THookCodes codes, bool justCount) {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r->proc == proc; });
    if (it == records_.end()) it = records_.insert(records_.end(), std::make_shared<Record>(Record{proc, {}}));
    (*it)->registrations.push_back({codes, !justCount});
    if (!justCount) InstallHooks(codes);
}

void THookRegistry::UnregisterHookProc(THookProc proc) {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r->proc == proc; });
    if (it == records_.end()) return;
    std::shared_ptr<Record> record = *it;
    Record::Registration last = record->registrations.back();
    record->registrations.pop_back();
    if (record->registrations.empty()) {
        record->removed = true;  // a dispatch walking a snapshot skips it
        records_.erase(it);
    }
    if (last.counted) UninstallHooks(last.codes, false);
}

const THookRegistry::Record* THookRegistry::Find(THookProc proc) const {
    for (const auto& r : records_)
        if (r->proc == proc) return r.get();
    return nullptr;
}

int THookRegistry::RefCount(THookProc proc) const {
    const Record* r = Find(proc);
    return r ? static_cast<int>(r->registrations.size()) : 0;
}

THookCodes THookRegistry::CodesOf(THookProc proc) const {
    const Record* r = Find(proc);
    return r ? r->codes() : 0;
}

bool THookRegistry::Dispatch(THookCode code, void* window, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!kinds_[std::size_t(HookKindOf(code))].installed) return false;
    bool consumed = false;
    // A snapshot: procedures may register or unregister (themselves or all) meanwhile.
    std::vector<std::shared_ptr<Record>> snapshot = records_;
    for (const auto& r : snapshot) {
        if (r->removed || !(r->codes() & HookCodeBit(code))) continue;
        try {
            if (r->proc(code, window, wParam, lParam) && code == THookCode::GetMessage) consumed = true;
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    return consumed;
}

namespace {
THookRegistry::Installer gInstall;
THookRegistry::Uninstaller gUninstall;
}  // namespace

void SetHookInstaller(THookRegistry::Installer install, THookRegistry::Uninstaller uninstall) {
    gInstall = std::move(install);
    gUninstall = std::move(uninstall);
}

THookRegistry& Hooks() {
    static THookRegistry registry([](int kind) { return gInstall ? gInstall(kind) : true; },
                                 [](int kind) {
                                     if (gUninstall) gUninstall(kind);
                                 });
    return registry;
}

}  // namespace tb
