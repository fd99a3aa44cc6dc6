#pragma once
// Hands memory the program has freed back to the system. The C library
// keeps freed heap memory for later allocations (per thread arena, and the
// result list is filled on the search threads), so the process would stay
// as large as its largest result list until it ends.
namespace tarnwick {

// Cheap when there is nothing to give back; takes some milliseconds after
// hundreds of megabytes were freed.
void ReturnFreedMemory();

}  // namespace tarnwick
