#pragma once
// CStatusExt: the project's stand identifiers. The host fills it (Add, RemoveAll); readers get
// each identifier as a terminated text of at most kStandWidth characters that stays valid until
// it is removed. Any thread may call any operation; each takes the list's own lock.

#include "ContainerLock.h"
#include "Containers.h"
#include "ElementIndex.h"
#include "RefCounted.h"

class CStatusExt final : public CRefCounted<CStatusExt, IStatusExt>
{
public:
    static constexpr size_t kStandWidth = 30;

    CStatusExt() : m_stands(kStandWidth + 1) {}
    CStatusExt(const CStatusExt&) = delete;
    CStatusExt& operator=(const CStatusExt&) = delete;

    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) override;
    int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    const char* GetAt(int nIndex, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    // Keeps the first kStandWidth characters of the identifier.
    int Add(const char* pszStand, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int RemoveAll(int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) override;

private:
    friend class CRefCounted<CStatusExt, IStatusExt>;
    ~CStatusExt() = default;

    CContainerLock m_lock;
    CElementIndex m_stands; // blocks of kStandWidth + 1 bytes, the last always 0
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
};
