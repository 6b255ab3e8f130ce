# Project code builds warning-free with -Wall -Wextra. Floating-point contraction is
# off so that the sound is the same bit for bit on every compiler and target.
add_library(kestrum_options INTERFACE)
target_compile_options(kestrum_options INTERFACE -Wall -Wextra -ffp-contract=off -fno-fast-math)
target_compile_definitions(kestrum_options INTERFACE $<$<BOOL:${WIN32}>:UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN>)
