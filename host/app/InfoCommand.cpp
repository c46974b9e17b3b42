#include "InfoCommand.h"

#include <cstdio>
#include <string>

#include "ComponentInterface.h"
#include "HostContext.h"
#include "WoxText.h"

namespace
{
const char* TypeName(ENDesignator nType)
{
    switch (nType)
    {
    case WOX_DESIGNATOR_SCENARIO:
        return "scenario component";
    case WOX_DESIGNATOR_TREATMENT:
        return "treatment component";
    default:
        return "component";
    }
}
}

int RunInfoCommand(CHostContext& host)
{
    char szPath[WOX_MAX_PATH] = {};
    if (!host.Registry()->ReadString("Components", "Scenario Component", szPath, sizeof szPath))
    {
        std::fprintf(stderr, "wox: the host registry %s has no value \"Scenario Component\" in [Components]\n",
                     host.Registry()->Path().c_str());
        return 1;
    }
    int nCount = 0;
    std::string error;
    IDynamicPtrTemplate<IComponent> pComponent;
    pComponent.Attach(WoxLoadComponent(host.LibMgr(), szPath, host.Heap(), &nCount, &error));
    if (!pComponent)
    {
        std::fprintf(stderr, "wox: %s\n", error.c_str());
        return 1;
    }
    if (!pComponent->Create(host.LibMgr(), host.ThreadPool(), host.Registry(), host.ErrorReporter(), host.SpeciesMap(), host.CompMgr()))
    {
        std::fprintf(stderr, "wox: the component refused Create (is \"Data Controller Library\" missing from [Libraries]?)\n");
        return 1;
    }
    SComponentDisplay display = {};
    pComponent->GetDisplayInfo(&display);
    char szName[257], szAuthor[257];
    WoxFieldToString(szName, sizeof szName, display.szName, sizeof display.szName);
    WoxFieldToString(szAuthor, sizeof szAuthor, display.szAuthor, sizeof display.szAuthor);
    ENDesignator nType = pComponent->GetType();
    std::printf("Library:    %s\n", szPath);
    std::printf("Components: %d\n", nCount);
    std::printf("Name:       %s\n", szName);
    std::printf("Version:    %.1f\n", display.dVersion);
    std::printf("Author:     %s\n", szAuthor);
    std::printf("GUID:       %s\n", WoxGuidToString(pComponent->GetGUID()).c_str());
    std::printf("Type:       %d (%s)\n", static_cast<int>(nType), TypeName(nType));
    return 0;
}
