// Fresh memory is made resident in one request rather than page by page. A
// large tree fills tens of thousands of fresh pages, and on Linux each first
// touch traps into the kernel: measured on the load of a large file, those
// faults took as long as parsing it.
#pragma once

#include <cstddef>

// A hint: where the system cannot or will not, the pages come in as touched.
void PrefaultPages(void* start, size_t size);
