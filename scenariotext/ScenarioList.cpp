#include "ScenarioList.h"

#include <algorithm>
#include <iterator>

#include "Files.h"
#include "InputFile.h"
#include "MemoryVolume.h"
#include "ScenarioFile.h"
#include "WoxText.h"

namespace
{
constexpr size_t kMaxScenarioBytes = size_t{512} << 20;
}

std::vector<SScenarioListEntry> ListScenarioFiles(HWOXHEAP hHeap, const std::string& folder)
{
    std::vector<SScenarioListEntry> entries;
    for (const std::string& name : WoxFindFiles(folder.c_str(), "*.scenario"))
    {
        const std::string path = folder + "/" + name;
        CByteVector bytes;
        if (!WoxReadFile(path, kMaxScenarioBytes, bytes, nullptr))
            continue;
        // The file is opened as the dialog opens it, on a copy in memory.
        CMemoryVolume volume;
        volume.SetFile(path, std::move(bytes));
        CScenarioFile file(hHeap, &volume);
        if (!file.Initialize(nullptr, nullptr, nullptr) || !file.Open(path.c_str()))
            continue;
        const SScenarioInfo& info = file.Header().info;
        char szName[sizeof info.szName + 1];
        WoxFieldToString(szName, sizeof szName, info.szName, sizeof info.szName);
        entries.push_back({szName, path});
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    return entries;
}

std::vector<SScenarioListEntry> ScenariosNamed(const std::vector<SScenarioListEntry>& entries, const std::string& name)
{
    std::vector<SScenarioListEntry> named;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(named), [&](const auto& entry) { return entry.name == name; });
    return named;
}
