// libFuzzer target: arbitrary bytes as a scenario file, opened (converting a 3.0 file), read and
// turned into text and JSON and back, on an in-memory volume. Aborts when a promise breaks.

#include <cstdio>
#include <cstdlib>

#include "ScenarioInputCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SScenarioInputOutcome outcome = CheckScenarioInput(pData, nSize);
    if (!outcome.broken.empty())
    {
        std::fprintf(stderr, "broken: %s\n", outcome.broken.c_str());
        std::abort();
    }
    return 0;
}
