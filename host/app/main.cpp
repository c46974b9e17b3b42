// wox: the stand-in host program of the Wox Suite scenario component.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "CommandLine.h"
#include "Display.h"
#include "HostContext.h"

static int RunWox(int argc, char** argv)
{
    CWoxCommandLine commandLine;
    if (int nStatus = commandLine.Parse(argc, argv); nStatus >= 0)
        return nStatus;

    WoxPrepareRuntimeDir();
    CHostContext host;
    std::string error;
    if (!host.Load(CWoxHost::FindRegistry(commandLine.Registry().c_str()), &error))
    {
        std::fprintf(stderr, "wox: %s\n", error.c_str());
        return 1;
    }
    return commandLine.Run(host);
}

// No exception leaves the program as an abort: every command ends with one line and exit 1. A
// result that could not all be written to standard output is a failure too.
int main(int argc, char** argv)
{
    int nResult = 1;
    try
    {
        nResult = RunWox(argc, argv);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "wox: %s\n", e.what());
        return 1;
    }
    catch (...)
    {
        std::fprintf(stderr, "wox: unexpected failure\n");
        return 1;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
    {
        if (nResult == 0)
            std::fprintf(stderr, "wox: cannot write the output: %s\n", std::strerror(errno));
        return nResult == 0 ? 1 : nResult;
    }
    return nResult;
}
