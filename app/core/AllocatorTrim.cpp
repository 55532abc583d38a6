#include "app/core/AllocatorTrim.h"

#include <cstdlib>  // says which C library this is

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/core/ExtractThread.h"

namespace gs {

void LimitAllocatorArenas() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, int(TExtractFromFolderThread::kMostReaders) + 1);
#endif
}

void GiveBackFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace gs
