#pragma once
#include "support/TempDir.h"

namespace gs::test {
using gstest::TempDir;
}  // namespace gs::test
