// libFuzzer target: arbitrary bytes as scenario JSON, imported and, when they parse, made into a
// scenario file that is opened, read and exported again. Aborts when a promise breaks.

#include <cstdio>
#include <cstdlib>

#include "ScenarioInputCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SScenarioJsonOutcome outcome = CheckScenarioJsonInput(pData, nSize);
    if (!outcome.file.broken.empty())
    {
        std::fprintf(stderr, "broken: %s\n", outcome.file.broken.c_str());
        std::abort();
    }
    return 0;
}
