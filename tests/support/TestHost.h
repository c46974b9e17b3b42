#pragma once
// A loaded host for tests: the real host services set up from the build's test registry (or
// $WOX_REGISTRY when set), which names the built modules and the tests' own folders.

#include <string>

#include "Containers.h"
#include "WoxHost.h"

class CTestHost : public CWoxHost
{
public:
    // Loads the test registry; a failure fails the current test (ADD_FAILURE) and leaves the
    // host without services, so check Loaded() where a test cannot go on without them.
    CTestHost();

    bool Loaded() const { return m_bLoaded; }
    static std::string RegistryPath();

    IWoxThreadPool* ThreadPoolService() { return ThreadPool(); }

    // A new, initialised array of nElementSize-byte elements made by the Data Controller
    // Library the registry names; empty when it cannot be made.
    IDynamicPtrTemplate<IArrayExt2> MakeArray(int nElementSize);

private:
    bool m_bLoaded = false;
};

// A fresh empty folder under the temporary folder, removed with its files at destruction.
class CTempFolder
{
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
