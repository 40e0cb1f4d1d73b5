#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant is a finding: say which one and abort, so libFuzzer saves the input.
inline void fuzzCheck(bool holds, const char* invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}
