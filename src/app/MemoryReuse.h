#pragma once

namespace ambrel {

// Has the C library keep the memory a rebuild frees for the next one instead of handing it back to the
// system: otherwise each rebuild of a large project has the system map and zero its pages afresh, a fifth of
// the time Enter takes in a project of 100,000 tasks. Call once, before the first window.
void keepFreedMemoryForRebuilds();

} // namespace ambrel
