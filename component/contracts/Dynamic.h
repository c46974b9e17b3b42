#pragma once
// Reference-counted host objects and the counted smart pointer that holds them.

#include <utility>

class IDynamic
{
public:
    virtual void AddReference() = 0;
    virtual void Release() = 0;

protected:
    ~IDynamic() = default;
};

// Holds one counted reference. Assigning releases the object held before and adds a reference
// to the new one; copying adds a reference; destruction releases. Passed by value it carries its
// own reference for the callee's time; an empty one stands for a null pointer. Its layout is one
// pointer, so it crosses the plug-in boundary like the pointer it wraps.
template <class T>
class IDynamicPtrTemplate
{
public:
    IDynamicPtrTemplate() noexcept = default;
    IDynamicPtrTemplate(std::nullptr_t) noexcept {}
    IDynamicPtrTemplate(T* p) noexcept : m_p(p) { if (m_p) m_p->AddReference(); }
    IDynamicPtrTemplate(const IDynamicPtrTemplate& o) noexcept : IDynamicPtrTemplate(o.m_p) {}
    IDynamicPtrTemplate(IDynamicPtrTemplate&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~IDynamicPtrTemplate() { Clear(); }

    IDynamicPtrTemplate& operator=(T* p) noexcept
    {
        if (p)
            p->AddReference();
        T* pOld = std::exchange(m_p, p);
        if (pOld)
            pOld->Release();
        return *this;
    }
    IDynamicPtrTemplate& operator=(const IDynamicPtrTemplate& o) noexcept { return *this = o.m_p; }
    IDynamicPtrTemplate& operator=(IDynamicPtrTemplate&& o) noexcept
    {
        if (this != &o)
        {
            Clear();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns (no AddReference).
    void Attach(T* p) noexcept
    {
        Clear();
        m_p = p;
    }
    // Gives the held reference to the caller (no Release).
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }
    void Clear() noexcept
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    T& operator*() const noexcept { return *m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};
