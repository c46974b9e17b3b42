// Writes the seed corpus of the scenario file fuzz target: valid 3.1 and 3.0 files and a few
// damaged ones, built from the documented offsets. Usage: scenario_corpus FOLDER

#include <cstdio>
#include <string>

#include "ScenarioSeeds.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const SSeed& seed : ScenarioSeeds())
    {
        std::string path = std::string(argv[1]) + "/" + seed.name;
        std::FILE* pFile = std::fopen(path.c_str(), "wb");
        if (!pFile || std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), pFile) != seed.bytes.size() || std::fclose(pFile) != 0)
        {
            std::fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
