#pragma once
// The IDynamic reference count of the Data Controller objects. A new object starts at 0: the
// caller's smart pointer adds the first reference, and the Release that takes the count below 1
// deletes the object. Safe to call from any thread.

#include <atomic>

template <class TDerived, class TInterface>
class CRefCounted : public TInterface
{
public:
    void AddReference() override { m_nReferences.fetch_add(1, std::memory_order_relaxed); }
    void Release() override
    {
        if (m_nReferences.fetch_sub(1, std::memory_order_acq_rel) <= 1)
            delete static_cast<TDerived*>(this);
    }

protected:
    CRefCounted() = default;
    ~CRefCounted() = default;

private:
    std::atomic<int> m_nReferences{0};
};
