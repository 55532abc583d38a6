#include "FuzzCommon.h"
#include "iconlib/PEResources.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        gs::TPeModule module(std::make_shared<gs::TMemorySource>(gs::TBytes(data, data + size)));
        for (const auto& name : module.names(gs::RT_GROUP_ICON)) {
            gs::TQBIcon icon;
            icon.LoadFromResource(module, name);
            exerciseIcon(icon);
        }
        module.load(gs::RT_VERSION, gs::TResourceName::fromId(1));
    } catch (const gs::EPlatformError&) {
    }
    return 0;
}
