#include "framework/core/VersionInfo.h"
#include "framework/core/VersionRoutines.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        gs::TVersionInfo v = gs::TVersionInfo::parse(std::span<const std::uint8_t>(data, size));
        (void)gs::GetVersionText(v);
        (void)v.GetVersionString("LegalCopyright");
    } catch (const gs::EReadError&) {
    }
    return 0;
}
