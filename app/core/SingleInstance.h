#pragma once
// The rule that keeps a second plain start from opening a second window.
#include "app/core/CmdLine.h"

namespace gs {

class IMessageBoxes;
class TKAVUOptions;

inline constexpr const char* kSingleInstanceName = "VEXUM";
inline constexpr const char* kMsgMultipleInstances = "You cannot create multiple instances of Veltrazone Glyphscope.";

// A plain windowed start (no file or folder named) with PreventMultiple set takes the
// program's instance lock; when another copy holds it, the refusal is shown and the
// answer is false (the caller ends at once, saving nothing). Starts naming a file or
// folder always run. The running copy is told nothing.
bool CheckSingleInstance(const TKAVUOptions& options, TRunMode mode, IMessageBoxes& boxes);

}  // namespace gs
