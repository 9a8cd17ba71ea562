// The reference host's soak: frames and random interaction, many thousands of
// them, while GDI objects, USER objects and memory are watched.
#pragma once

namespace refhost {

// Plays n frames and n random interaction events (seed: their sequence); 1
// when GDI or USER objects or memory grow, or on a host fault.
int RunSoak(int n, unsigned seed);

}  // namespace refhost
