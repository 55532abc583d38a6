#include "app/core/SingleInstance.h"

#include "app/core/Options.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"
#include "platform/Desktop.h"

namespace gs {

bool CheckSingleInstance(const TKAVUOptions& options, TRunMode mode, IMessageBoxes& boxes) {
    if (mode != TRunMode::rmNone || !options.PreventMultiple) return true;
    if (HoldInstanceLock(InstanceLockPath(kSingleInstanceName))) return true;
    const TQBApplication& app = application();
    boxes.ShowQBMessage(kMsgMultipleInstances, app.Title, TQBMessageType::mtInformation,
                        TQBButtonSet::bsOK, kFirstButton, app.LanguageId, app.FontName);
    return false;
}

}  // namespace gs
