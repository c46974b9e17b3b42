#pragma once
// The host library manager: loads libraries by path, each path once, and never unloads them.
// It loads only files that lie directly in a folder the registry names (the folders of the host
// libraries, the function directory, the component directories and the extra library
// directories), so a scenario file cannot make the host load arbitrary code. A library asked for
// by an absolute path that does not exist (a scenario made on another machine, or before the
// host moved) is looked for by its file name in the function directory, under the same rule.
// Thread-safe.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "HostServices.h"

class CWoxRegistry;

class CWoxLibMgr final : public IWoxLibMgr
{
public:
    CWoxLibMgr(const CWoxRegistry& registry, IWoxErrorReporter* pErrorReporter);

    // None, with a report naming the path and the reason, when the path is outside the allowed
    // folders, does not exist or does not load.
    HWOXMODULE OpenLibrary(const char* pszPath) override;

    const std::vector<std::string>& AllowedFolders() const { return m_allowed; }

private:
    void Report(const std::string& message);

    IWoxErrorReporter* m_pErrorReporter;
    std::vector<std::string> m_allowed;   // canonical folder paths
    std::string m_functionDirectory;
    std::mutex m_lock;
    std::map<std::string, HWOXMODULE> m_loaded;   // by canonical path
    // By the absolute path as asked for (a relative one depends on the working folder). A loaded library stays loaded, so a path that once resolved to
    // it answers it again without resolving the path (a few system calls) on every request.
    std::map<std::string, HWOXMODULE, std::less<>> m_byRequest;
};
