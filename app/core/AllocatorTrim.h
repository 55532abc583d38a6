#pragma once
// Memory given back to the system. The C library keeps what a program frees for its next
// allocations, in one arena a thread that allocated (up to eight a processor): after a
// listing of tens of thousands of icons read by several threads, hundreds of megabytes
// stay with the process although nothing uses them. The listing gives them back when its
// definitions go, and the arenas are few from the start.

namespace gs {

// Arenas the allocator may make: as many as the scan has readers, beside the main one.
// Called once, before threads are started.
void LimitAllocatorArenas();

// Returns the free memory of every arena to the system.
void GiveBackFreedMemory();

}  // namespace gs
