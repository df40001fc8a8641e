#pragma once
// The process's heap.

// Gives the memory the heap holds free back to the system, after work that
// allocated much and freed it again; harmless where the heap cannot.
void ReturnFreeMemory();

// The most memory the process has held at once (its peak resident size), in
// bytes; 0 where the system does not tell.
long long PeakMemoryUse();
