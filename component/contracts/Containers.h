#pragma once
// Host data containers (Data Controller Library) and the binary file object (IO Library).
//
// Every Data Controller operation apart from Initialize ends with two trailing arguments: the
// longest wait for the container's own lock in milliseconds (-1 = without limit) and a stop event
// watched while waiting (empty = none). An operation that cannot take the lock in time, or whose
// stop event fires first, does nothing and answers 0 (none for pointers). Containers copy elements
// in and out by value; an element pointer stays valid until that element is removed.

#include "Dynamic.h"
#include "HostServices.h"
#include "ThreadObjects.h"
#include "WoxHeap.h"
#include "WoxTypes.h"

typedef IDynamicPtrTemplate<ITdEvent> WoxStopEvent;

// An array of fixed-size elements (size given to Initialize).
class IArrayExt2 : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize) = 0;
    virtual int Add(const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    // Appends copies of all of pSource's elements (same element size required).
    virtual int Copy(IArrayExt2* pSource, int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    // Removes nCount elements from nIndex; the following ones move down.
    virtual int RemoveAt(int nIndex, int nCount, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual void* GetAt(int nIndex, int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int SetAt(int nIndex, int nReserved, const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int RemoveAll(int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;

protected:
    ~IArrayExt2() = default;
};

// A typed array of host records (tree records, species records).
template <class T>
class IArrayExtTmp : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) = 0;
    virtual int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int RemoveAll(int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int Add(const T* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual T* GetAt(int nIndex, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;

protected:
    ~IArrayExtTmp() = default;
};

// The host's tree record. The component reads the species code (compared over all 10
// characters), the diameter at breast height and the height; the rest is the host's.
struct SInventory
{
    char szStand[30];      // stand identifier
    char cPad0[2];
    char szTree[24];       // tree identifier within the stand
    int32_t nYear;         // year the record describes
    int32_t nFlags;        // host use
    char szSpecies[10];    // species code (plant symbol)
    char cPad1[6];
    double dDbh;           // diameter at breast height, cm
    double dTpha;          // trees per hectare the record represents
    double dHeight;        // total height, m
    double dCrownRatio;    // live crown ratio, 0..1
};
static_assert(sizeof(SInventory) == 112);
static_assert(offsetof(SInventory, szSpecies) == 64);
static_assert(offsetof(SInventory, dDbh) == 80);
static_assert(offsetof(SInventory, dHeight) == 96);

typedef IArrayExtTmp<SInventory> IInventoryExt;
typedef IArrayExtTmp<SSpeciesRecord> ISpeciesListExt;

// A first-in, first-out queue of fixed-size elements.
class IQueueExt2 : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize) = 0;
    virtual int Push(const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int RemoveHead(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    // The first element, waiting up to nWaitMs for one; none when the stop event fires first or
    // the time runs out. The pointer stays valid until RemoveHead.
    virtual void* WaitHead(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;

protected:
    ~IQueueExt2() = default;
};

// The project's stand identifiers ("CreateStatusExt"); filled by IPortData::GetStandList.
class IStatusExt : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) = 0;
    virtual int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    // The identifier text (at most 30 characters, always terminated), or none.
    virtual const char* GetAt(int nIndex, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    // Host side: fill and empty the list.
    virtual int Add(const char* pszStand, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;
    virtual int RemoveAll(int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) = 0;

protected:
    ~IStatusExt() = default;
};

// A binary file ("CreateWoxBinary"). Used by one thread at a time; releasing the last reference
// closes the file if it is still open.
class IWoxBinary : public IDynamic
{
public:
    virtual int Initialize(IWoxErrorReporter* pErrorReporter) = 0;
    virtual void Close() = 0;
    virtual int64_t Tell() = 0;
    // nMode 2 = reading and writing; bCreate 1 makes a new (empty) file, 0 opens an existing one.
    virtual int Open(const char* pszPath, int nMode, int bCreate) = 0;
    // Non-zero when all nSize bytes were read.
    virtual int Read(void* pBuffer, uint32_t* pnDone, uint32_t nSize) = 0;
    // nOrigin 0 = from the start of the file.
    virtual int Seek(int64_t nPosition, int nOrigin) = 0;
    // Non-zero when all nSize bytes were written; a write of 0 bytes succeeds.
    virtual int Write(const void* pBuffer, uint32_t* pnDone, uint32_t nSize) = 0;
    // Host side: the file's size in bytes, -1 when not open.
    virtual int64_t GetLength() = 0;

protected:
    ~IWoxBinary() = default;
};

typedef IArrayExt2* (*PFN_CreateArrayExt2)(HWOXHEAP hHeap);
typedef IInventoryExt* (*PFN_CreateInventoryExt)(HWOXHEAP hHeap);
typedef IQueueExt2* (*PFN_CreateQueue2)(HWOXHEAP hHeap);
typedef IStatusExt* (*PFN_CreateStatusExt)(HWOXHEAP hHeap);
typedef ISpeciesListExt* (*PFN_CreateSpeciesMapExt)(HWOXHEAP hHeap);
typedef IWoxBinary* (*PFN_CreateWoxBinary)();
