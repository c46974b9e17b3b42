#include "UniqueFileName.h"

#include <cstring>

#include "Files.h"
#include "WoxText.h"
#include "WoxTypes.h"

namespace
{
constexpr int kMaxCounter = 100000;

bool IsForbidden(unsigned char c)
{
    return c < 32 || c == 127 || std::strchr("/\\:*?\"<>|", c) != nullptr;
}
}

std::string ScenarioFileStem(const char* pszName, size_t nWidth)
{
    std::string stem;
    size_t nLength = pszName ? WoxTextLength(pszName, nWidth) : 0;
    for (size_t i = 0; i < nLength; ++i)
    {
        auto c = static_cast<unsigned char>(pszName[i]);
        if (IsForbidden(c) || (i == 0 && c == '.'))
        {
            stem += '_';
        }
        else if (c >= 0x80)
        {
            stem += static_cast<char>(0xC0 | (c >> 6));
            stem += static_cast<char>(0x80 | (c & 0x3F));
        }
        else
        {
            stem += static_cast<char>(c);
        }
    }
    return stem.empty() ? std::string("Scenario") : stem;
}

std::string UniqueScenarioPath(const char* pszFolder, const char* pszName, const char* pszExtension,
                               const std::function<bool(const std::string&)>& fnExists)
{
    auto exists = [&](const std::string& path) { return fnExists ? fnExists(path) : WoxFileExists(path.c_str()); };
    std::string folder = WoxNativePath(pszFolder);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::string base = folder + "/" + ScenarioFileStem(pszName);
    const std::string extension = std::string(".") + (pszExtension ? pszExtension : WOX_SCENARIO_EXTENSION);

    std::string path = base + extension;
    for (int nCounter = 2; nCounter <= kMaxCounter; ++nCounter)
    {
        if (path.size() >= WOX_MAX_PATH)
            return {};
        if (!exists(path))
            return path;
        path = base + " (" + std::to_string(nCounter) + ")" + extension;
    }
    return {};
}
