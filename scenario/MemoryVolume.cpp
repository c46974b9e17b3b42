#include "MemoryVolume.h"

#include <atomic>
#include <cstring>

namespace
{
// Reference counting as host objects do it: a factory hands out a count of 0, the first smart
// pointer makes it 1, the last Release deletes.
template <class TBase>
class CCounted : public TBase
{
public:
    void AddReference() override { ++m_nReferences; }
    void Release() override
    {
        if (--m_nReferences <= 0)
            delete this;
    }

protected:
    virtual ~CCounted() = default;

private:
    std::atomic<int> m_nReferences{0};
};

class CMemoryBinary final : public CCounted<IWoxBinary>
{
public:
    explicit CMemoryBinary(CMemoryVolume* pVolume) : m_pVolume(pVolume) {}

    int Initialize(IWoxErrorReporter*) override { return 1; }
    void Close() override
    {
        m_pBytes.reset();
        m_nPosition = 0;
    }
    int64_t Tell() override { return m_pBytes ? m_nPosition : -1; }
    int Open(const char* pszPath, int, int bCreate) override
    {
        Close();
        if (!pszPath)
            return 0;
        m_pBytes = bCreate ? m_pVolume->CreateEmpty(pszPath) : m_pVolume->Find(pszPath);
        m_bReadOnly = m_pVolume->IsLocked(pszPath);
        return m_pBytes ? 1 : 0;
    }
    int Read(void* pBuffer, uint32_t* pnDone, uint32_t nSize) override
    {
        if (pnDone)
            *pnDone = 0;
        if (!m_pBytes || m_nPosition > static_cast<int64_t>(m_pBytes->size()))
            return 0;
        uint64_t nLeft = m_pBytes->size() - static_cast<uint64_t>(m_nPosition);
        uint32_t n = nLeft < nSize ? static_cast<uint32_t>(nLeft) : nSize;
        if (n)
            std::memcpy(pBuffer, m_pBytes->data() + m_nPosition, n);
        m_nPosition += n;
        if (pnDone)
            *pnDone = n;
        return n == nSize ? 1 : 0;
    }
    int Seek(int64_t nPosition, int nOrigin) override
    {
        if (!m_pBytes || nOrigin != 0 || nPosition < 0)
            return 0;
        m_nPosition = nPosition;
        return 1;
    }
    int Write(const void* pBuffer, uint32_t* pnDone, uint32_t nSize) override
    {
        if (pnDone)
            *pnDone = 0;
        if (!m_pBytes || m_bReadOnly)
            return 0;
        if (nSize == 0)
            return 1;
        uint64_t nEnd = static_cast<uint64_t>(m_nPosition) + nSize;
        if (nEnd > m_pVolume->FileSizeLimit())
            return 0;
        if (nEnd > m_pBytes->size())
            m_pBytes->resize(nEnd);
        std::memcpy(m_pBytes->data() + m_nPosition, pBuffer, nSize);
        m_nPosition = static_cast<int64_t>(nEnd);
        if (pnDone)
            *pnDone = nSize;
        return 1;
    }
    int64_t GetLength() override { return m_pBytes ? static_cast<int64_t>(m_pBytes->size()) : -1; }

private:
    CMemoryVolume* m_pVolume;
    std::shared_ptr<CByteVector> m_pBytes;
    int64_t m_nPosition = 0;
    bool m_bReadOnly = false;
};

class CMemoryArray final : public CCounted<IArrayExt2>
{
public:
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*, int nElementSize) override
    {
        if (nElementSize <= 0)
            return 0;
        m_nElementSize = static_cast<size_t>(nElementSize);
        return 1;
    }
    int Add(const void* pElement, int, WoxStopEvent) override
    {
        if (!m_nElementSize || !pElement)
            return 0;
        m_elements.push_back(Copy(pElement));
        return 1;
    }
    int Copy(IArrayExt2* pSource, int, int, WoxStopEvent) override
    {
        if (!pSource)
            return 0;
        int n = pSource->GetSize();
        for (int i = 0; i < n; ++i)
            if (const void* p = pSource->GetAt(i, 0))
                m_elements.push_back(Copy(p));
        return 1;
    }
    int RemoveAt(int nIndex, int nCount, int, WoxStopEvent) override
    {
        if (nIndex < 0 || nCount < 0 || static_cast<size_t>(nIndex) + static_cast<size_t>(nCount) > m_elements.size())
            return 0;
        m_elements.erase(m_elements.begin() + nIndex, m_elements.begin() + nIndex + nCount);
        return 1;
    }
    void* GetAt(int nIndex, int, int, WoxStopEvent) override
    {
        if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_elements.size())
            return nullptr;
        return m_elements[static_cast<size_t>(nIndex)].get();
    }
    int GetSize(int, WoxStopEvent) override { return static_cast<int>(m_elements.size()); }
    int SetAt(int nIndex, int, const void* pElement, int, WoxStopEvent) override
    {
        void* p = GetAt(nIndex, 0, -1, {});
        if (!p || !pElement)
            return 0;
        std::memmove(p, pElement, m_nElementSize);
        return 1;
    }
    int RemoveAll(int, int, WoxStopEvent) override
    {
        m_elements.clear();
        return 1;
    }

private:
    std::unique_ptr<uint8_t[]> Copy(const void* pElement) const
    {
        std::unique_ptr<uint8_t[]> p(new uint8_t[m_nElementSize]);
        std::memcpy(p.get(), pElement, m_nElementSize);
        return p;
    }

    size_t m_nElementSize = 0;
    std::vector<std::unique_ptr<uint8_t[]>> m_elements;  // one allocation each: pointers stay put
};
}

void CMemoryVolume::SetFile(const std::string& path, CByteVector bytes)
{
    m_files[path] = std::make_shared<CByteVector>(std::move(bytes));
}

const CByteVector* CMemoryVolume::File(const std::string& path) const
{
    auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : it->second.get();
}

void CMemoryVolume::AddLockedName(const std::string& path) { m_locked.insert(path); }

std::vector<std::string> CMemoryVolume::FileNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_files)
        names.push_back(entry.first);
    return names;
}

std::shared_ptr<CByteVector> CMemoryVolume::Find(const std::string& path) const
{
    auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : it->second;
}

std::shared_ptr<CByteVector> CMemoryVolume::CreateEmpty(const std::string& path)
{
    if (m_locked.count(path))
        return nullptr;
    auto pBytes = std::make_shared<CByteVector>();
    m_files[path] = pBytes;
    return pBytes;
}

IWoxBinary* CMemoryVolume::CreateBinary() { return new CMemoryBinary(this); }

IArrayExt2* CMemoryVolume::CreateArray(HWOXHEAP) { return new CMemoryArray(); }

bool CMemoryVolume::FileExists(const char* pszPath) const
{
    return pszPath && (m_files.count(pszPath) || m_locked.count(pszPath));
}

bool CMemoryVolume::ReplaceFile(const char* pszPath, const std::vector<uint8_t>& bytes)
{
    if (!pszPath || m_locked.count(pszPath))
        return false;
    // A new object, as a rename makes a new file: binary objects still open keep the old bytes.
    m_files[pszPath] = std::make_shared<CByteVector>(bytes);
    return true;
}
