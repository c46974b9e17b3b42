// libFuzzer target: arbitrary bytes as a project's project.db, read and, when it reads, grown
// for a few periods (the year arithmetic and the growth model meet whatever the file held).

#include <unistd.h>

#include <cstdio>
#include <string>

#include "Files.h"
#include "Forest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const std::string folder = WoxMakeTempFolder("wox-fuzz-project");
    const std::string path = folder + "/" + WOX_PROJECT_DATABASE;
    std::FILE* pFile = std::fopen(path.c_str(), "wb");
    if (!pFile)
        return 0;
    std::fwrite(pData, 1, nSize, pFile);
    std::fclose(pFile);
    SProject project;
    if (ReadProject(folder, project, nullptr))
    {
        CForest forest(std::move(project));
        for (int nPeriod = 0; nPeriod < 3; ++nPeriod)
            forest.Grow(forest.Project().nPeriodLength);
    }
    ::unlink(path.c_str());
    return 0;
}
