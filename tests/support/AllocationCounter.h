#pragma once
// Counts heap allocations made on one thread, to prove that a module's audio path allocates
// nothing.
//
// Linux: every malloc-family call of the process is seen (the test program replaces malloc,
// or installs the sanitizers' allocation hook under AddressSanitizer and ThreadSanitizer),
// so allocations inside the C and C++ libraries count too. Windows: the module's imports of
// the C runtime's and the system's allocation functions are redirected, which sees the
// module's own operator new, malloc and heap calls, but not allocations that happen inside
// system libraries.

namespace AllocationCounter
{
// Prepares counting for the module that contains `addressInModule` (used on Windows only).
// False when counting cannot be set up.
bool Install(const void* addressInModule);
// Counts allocations on the calling thread from now on.
void Begin();
// Stops counting; the number of allocations since Begin.
long End();
} // namespace AllocationCounter
