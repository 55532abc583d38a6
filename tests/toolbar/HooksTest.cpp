// The hook registry: use counts per hook kind, registrations that come and go, dispatch.
#include <gtest/gtest.h>

#include "toolbar/core/Hooks.h"
#include "toolbar/core/ItemRuntime.h"

using namespace tb;

namespace {

std::vector<std::string> gCalls;
THookRegistry* gRegistry = nullptr;

bool procA(THookCode code, void*, std::uintptr_t, std::intptr_t) {
    gCalls.push_back("A" + std::to_string(int(code)));
    return false;
}
bool procB(THookCode code, void*, std::uintptr_t, std::intptr_t) {
    gCalls.push_back("B" + std::to_string(int(code)));
    return code == THookCode::GetMessage;
}
bool thrower(THookCode, void*, std::uintptr_t, std::intptr_t) { throw std::runtime_error("hook failed"); }
bool removesAll(THookCode code, void*, std::uintptr_t, std::intptr_t) {
    gCalls.push_back("R" + std::to_string(int(code)));
    gRegistry->UnregisterHookProc(procA);
    gRegistry->UnregisterHookProc(procB);
    gRegistry->UnregisterHookProc(removesAll);
    return false;
}

struct Fixture {
    std::vector<std::string> system;
    THookRegistry hooks{[this](int k) {
                           system.push_back("+" + std::to_string(k));
                           return true;
                       },
                       [this](int k) { system.push_back("-" + std::to_string(k)); }};
    Fixture() {
        gCalls.clear();
        gRegistry = &hooks;
    }
};

constexpr THookCodes kActivate = HookCodeBit(THookCode::ActivateApp);
constexpr THookCodes kPos = HookCodeBit(THookCode::WindowPosChanged);
constexpr THookCodes kDestroy = HookCodeBit(THookCode::DestroyWindow);
constexpr THookCodes kGet = HookCodeBit(THookCode::GetMessage);

}  // namespace

TEST(ToolbarHooks, CountsStayExact) {
    Fixture f;
    f.hooks.RegisterHookProc(procA, kPos);
    f.hooks.RegisterHookProc(procA, kPos);
    f.hooks.UnregisterHookProc(procA);
    EXPECT_EQ(f.hooks.RefCount(procA), 1);
    EXPECT_TRUE(f.hooks.Installed(0));
    EXPECT_EQ(f.hooks.UseCount(0), 1);

    // Registered again with other codes: the union, each hook kind counted per registration.
    f.hooks.RegisterHookProc(procA, kDestroy | kGet);
    EXPECT_EQ(f.hooks.CodesOf(procA), kPos | kDestroy | kGet);
    EXPECT_EQ((std::vector<int>{f.hooks.UseCount(0), f.hooks.UseCount(1), f.hooks.UseCount(2)}),
              (std::vector<int>{1, 1, 1}));
    f.hooks.UnregisterHookProc(procA);
    EXPECT_EQ(f.hooks.CodesOf(procA), kPos);
    f.hooks.RegisterHookProc(procB, kActivate | kPos, /*justCount=*/true);
    f.hooks.UnregisterHookProc(procB);  // took no use: gives none back
    EXPECT_EQ(f.hooks.UseCount(0), 1);
    f.hooks.UnregisterHookProc(procA);
    f.hooks.UnregisterHookProc(procA);  // unknown by now: nothing changes
    EXPECT_TRUE(f.hooks.Empty());
    EXPECT_EQ(f.system, (std::vector<std::string>{"+0", "+1", "+2", "-1", "-2", "-0"}));
}

TEST(ToolbarHooks, DispatchByCode) {
    Fixture f;
    f.hooks.RegisterHookProc(procA, kPos);
    f.hooks.RegisterHookProc(procB, kActivate | kGet);
    f.hooks.Dispatch(THookCode::ActivateApp, nullptr, 1, 0);
    f.hooks.Dispatch(THookCode::WindowPosChanged, nullptr, 0, 0);
    EXPECT_FALSE(f.hooks.Dispatch(THookCode::DestroyWindow, nullptr, 0, 0));  // no hook of that kind
    EXPECT_TRUE(f.hooks.Dispatch(THookCode::GetMessage, nullptr, 0, 0));
    EXPECT_EQ(gCalls, (std::vector<std::string>{"B0", "A1", "B3"}));
}

TEST(ToolbarHooks, ThrowingAndRemovingProcedures) {
    Fixture f;
    std::vector<std::string> handled;
    SetExceptionHandler([&](std::exception_ptr) { handled.push_back("error"); });
    f.hooks.RegisterHookProc(thrower, kGet);
    f.hooks.RegisterHookProc(removesAll, kGet);
    f.hooks.RegisterHookProc(procA, kGet);
    f.hooks.RegisterHookProc(procB, kGet);
    f.hooks.Dispatch(THookCode::GetMessage, nullptr, 0, 0);
    // The thrower's error is handled, the remover runs; those it removed are skipped.
    EXPECT_EQ(handled, std::vector<std::string>{"error"});
    EXPECT_EQ(gCalls, std::vector<std::string>{"R3"});
    EXPECT_EQ(f.hooks.RefCount(thrower), 1);
    f.hooks.UnregisterHookProc(thrower);
    EXPECT_FALSE(f.hooks.Installed(2));
    SetExceptionHandler(nullptr);
}
