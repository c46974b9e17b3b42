#pragma once
// The six host services handed to IComponent::Create. They are borrowed for the component's
// life: nobody in a component adds or releases references on them.

#include "Dynamic.h"
#include "WoxTypes.h"

class ITdThreadHandler;

class IWoxLibMgr
{
public:
    // Loads a library by full path; the module stays loaded. None = failure (reported by the host).
    virtual HWOXMODULE OpenLibrary(const char* pszPath) = 0;

protected:
    ~IWoxLibMgr() = default;
};

class IWoxThreadPool
{
public:
    // The pool later calls pTask->RunThread() on one of its threads; one submission, one run.
    virtual int SubmitTask(ITdThreadHandler* pTask) = 0;

protected:
    ~IWoxThreadPool() = default;
};

class IWoxRegistry
{
public:
    // Copies the value (zero-terminated, truncated to nBuffer - 1) into pszBuffer. Non-zero when
    // the value was found, 0 when not.
    virtual int ReadString(const char* pszSection, const char* pszValue, char* pszBuffer, int nBuffer) = 0;

protected:
    ~IWoxRegistry() = default;
};

class IWoxErrorReporter
{
public:
    virtual void ReportError(const char* pszSource, const char* pszMessage) = 0;

protected:
    ~IWoxErrorReporter() = default;
};

// The host's description of one species. Code at 0, a second code at 10 (emptied before a
// look-up), scientific name at 20, common name at 70; 120 bytes.
struct SSpeciesRecord
{
    char szCode[10];
    char szAltCode[10];
    char szScientificName[50];
    char szCommonName[50];
};
static_assert(sizeof(SSpeciesRecord) == 120);
static_assert(offsetof(SSpeciesRecord, szAltCode) == 10);
static_assert(offsetof(SSpeciesRecord, szScientificName) == 20);
static_assert(offsetof(SSpeciesRecord, szCommonName) == 70);

class ISpeciesMap
{
public:
    // Non-zero when the code in pRecord->szCode is known in the group; the record is then filled.
    virtual int LookupSpecies(const char* pszGroup, SSpeciesRecord* pRecord) = 0;

protected:
    ~ISpeciesMap() = default;
};

class ICompMgr
{
public:
    // The component registered under the GUID, or none. The caller takes its own reference.
    virtual IDynamic* GetComponent(GUID guid) = 0;
    // Host side: the number of components held and the one at an index (no reference taken).
    virtual int GetComponentCount() = 0;
    virtual IDynamic* GetComponentAt(int nIndex) = 0;

protected:
    ~ICompMgr() = default;
};
