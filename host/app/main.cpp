// wox: the stand-in host program of the Wox Suite scenario component.

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "HostContext.h"

int main(int argc, char** argv)
{
    CWoxCommandLine commandLine;
    if (int nStatus = commandLine.Parse(argc, argv); nStatus >= 0)
        return nStatus;

    CHostContext host;
    std::string error;
    if (!host.Load(CWoxHost::FindRegistry(commandLine.Registry().c_str()), &error))
    {
        std::fprintf(stderr, "wox: %s\n", error.c_str());
        return 1;
    }
    return commandLine.Run(host);
}
