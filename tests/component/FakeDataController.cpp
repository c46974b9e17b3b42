// A broken Data Controller Library for the container-creator tests: its arrays refuse
// initialisation, and it has no "CreateInventoryExt".

#include <atomic>
#include <new>

#include "Containers.h"

namespace
{
class CRefusingArray final : public IArrayExt2
{
public:
    void AddReference() override { ++m_nRef; }
    void Release() override
    {
        if (--m_nRef < 1)
            delete this;
    }
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*, int) override { return 0; }
    int Add(const void*, int, WoxStopEvent) override { return 0; }
    int Copy(IArrayExt2*, int, int, WoxStopEvent) override { return 0; }
    int RemoveAt(int, int, int, WoxStopEvent) override { return 0; }
    void* GetAt(int, int, int, WoxStopEvent) override { return nullptr; }
    int GetSize(int, WoxStopEvent) override { return 0; }
    int SetAt(int, int, const void*, int, WoxStopEvent) override { return 0; }
    int RemoveAll(int, int, WoxStopEvent) override { return 0; }

private:
    std::atomic<int> m_nRef{0};
};
}

WOX_EXPORT IArrayExt2* CreateArrayExt2(HWOXHEAP) { return new (std::nothrow) CRefusingArray(); }
