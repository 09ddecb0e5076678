// The stack protector's canary, seeded by the program's entry point.
#pragma once

namespace orvan::win32 {

// Seeds the canary from the system's random numbers, with the generator
// taken from the system folder by its full path. Call it once, after the
// library search is kept to the system folder, from a frame without a
// canary of its own (`no_stack_protector`): a protected frame that is live
// across the call would find its canary changed when it returns.
void SeedStackGuard();

}  // namespace orvan::win32
