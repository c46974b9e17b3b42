#pragma once
// The host component manager: finds component libraries in the registry's component
// directories, creates each component once, hands it the six host services and answers
// GetComponent(GUID). Holds one reference on every component it created.

#include <functional>
#include <string>
#include <vector>

#include "ComponentInterface.h"
#include "HostServices.h"

// Loads a component library through the library manager and creates its component with the
// heap: the host's one way of loading a component (the component manager, wox info and wox run).
// Answers the component with one reference for the caller and the library's component count in
// *pnCount, or none with one line in *pError naming the path and the reason.
IComponent* WoxLoadComponent(IWoxLibMgr* pLibMgr, const char* pszPath, void* hHeap, int* pnCount, std::string* pError);

class CWoxCompMgr final : public ICompMgr
{
public:
    struct SServices
    {
        IWoxLibMgr* pLibMgr;
        IWoxThreadPool* pThreadPool;
        IWoxRegistry* pRegistry;
        IWoxErrorReporter* pErrorReporter;
        ISpeciesMap* pSpeciesMap;
        void* hHeap;
    };

    explicit CWoxCompMgr(const SServices& services);
    ~CWoxCompMgr();
    CWoxCompMgr(const CWoxCompMgr&) = delete;
    CWoxCompMgr& operator=(const CWoxCompMgr&) = delete;

    // Loads every "*.so" of the folders; failures are reported with path and reason and skipped.
    // Answers the number of components now held.
    int LoadFolders(const std::vector<std::string>& folders);
    // Takes over a new component's reference and answers the component to keep in its place
    // (with one reference), e.g. a wrapper around it.
    typedef std::function<IComponent*(IComponent*)> FnWrap;

    // Loads one component library; false (reported) when it cannot be loaded, lacks an export,
    // yields no object, refuses Create, or brings a GUID already held. fnWrap, when given, sees
    // the component before Create.
    bool LoadLibrary(const char* pszPath, const FnWrap& fnWrap = {});
    // Takes over one reference to an already created component (for hosts that build their own).
    bool AddComponent(IComponent* pComponent, const char* pszOrigin);

    IDynamic* GetComponent(GUID guid) override;
    int GetComponentCount() override;
    IDynamic* GetComponentAt(int nIndex) override;

    void ReleaseAll();

private:
    void Report(const std::string& message);

    SServices m_services;
    std::vector<IComponent*> m_components;   // each with one reference held
};

// The text form of a GUID, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
std::string WoxGuidToString(const GUID& guid);
