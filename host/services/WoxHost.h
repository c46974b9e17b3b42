#pragma once
// The host's services in one place: heap, registry, error reporter, library manager, thread
// pool, species map and component manager, set up from one registry file. The host program
// and the tests build on it.

#include <memory>
#include <string>

#include "CompMgr.h"
#include "ErrorReporter.h"
#include "Heap.h"
#include "LibMgr.h"
#include "Registry.h"
#include "SpeciesMap.h"
#include "ThreadPool.h"

class CWoxHost
{
public:
    CWoxHost();
    ~CWoxHost();
    CWoxHost(const CWoxHost&) = delete;
    CWoxHost& operator=(const CWoxHost&) = delete;

    // Reads the registry and the species catalogue it names and starts the services; false
    // with one line saying why.
    bool Load(const std::string& registryPath, std::string* pError);
    // Creates every component of the registry's component directories.
    int LoadComponents();

    // The registry file to use: the given one, else $WOX_REGISTRY, else wox.ini beside the
    // running program.
    static std::string FindRegistry(const char* pszGiven);

    IWoxHeap* Heap() { return &m_heap; }
    CWoxHeap& HeapObject() { return m_heap; }
    CWoxRegistry* Registry() { return &m_registry; }
    CWoxErrorReporter* ErrorReporter() { return &m_reporter; }
    CWoxLibMgr* LibMgr() { return m_pLibMgr.get(); }
    CWoxThreadPool* ThreadPool() { return m_pThreadPool.get(); }
    CWoxSpeciesMap* SpeciesMap() { return &m_speciesMap; }
    CWoxCompMgr* CompMgr() { return m_pCompMgr.get(); }

private:
    CWoxHeap m_heap;
    CWoxRegistry m_registry;
    CWoxErrorReporter m_reporter;
    CWoxSpeciesMap m_speciesMap;
    std::unique_ptr<CWoxLibMgr> m_pLibMgr;
    std::unique_ptr<CWoxThreadPool> m_pThreadPool;
    std::unique_ptr<CWoxCompMgr> m_pCompMgr;
};
