#pragma once
// Properties return an empty text when they hold, else what failed; the fuzz targets
// abort on a failure so libFuzzer keeps the input, the regression tests report it.
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_STR2(x) #x
#define FUZZ_STR(x) FUZZ_STR2(x)
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            return std::string(__FILE__ ":" FUZZ_STR(__LINE__) ": property failed: " #cond);       \
    } while (0)

namespace fuzzsupport {

inline int abortOnFailure(const std::string& failure) {
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

} // namespace fuzzsupport
