// The heap the program runs with. A fifth to a third of a large run's time
// went into page faults on the heap, one per 4 KB page; with huge pages and
// one arena for all threads they nearly vanish. glibc takes both only from
// the environment it starts with, so the program restarts itself once.
#pragma once

// Restarts the process with the heap settings when it has none of its own
// (GLIBC_TUNABLES unset), keeping argv and everything else. In the restarted
// process, removes the variable again so that programs started from here
// (the document viewer) get the default heap. A caller's own setting is
// kept as it is. Returns when no restart happened or it failed.
void UseProgramHeap(char** argv);
