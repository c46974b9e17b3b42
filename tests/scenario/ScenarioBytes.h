#pragma once
// Scenario file bytes written at the documented offsets, independent of the code's own structs:
// the tests compare what CScenarioFile writes and reads against these.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

typedef std::vector<uint8_t> CBytes;

// Little-endian writer into a byte buffer at absolute offsets.
class CByteWriter
{
public:
    explicit CByteWriter(size_t nSize) : m_bytes(nSize, 0) {}
    CByteWriter& I32(size_t nOffset, int32_t n) { return U32(nOffset, static_cast<uint32_t>(n)); }
    CByteWriter& U32(size_t nOffset, uint32_t n)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.at(nOffset + i) = static_cast<uint8_t>(n >> (8 * i));
        return *this;
    }
    CByteWriter& F64(size_t nOffset, double d)
    {
        uint64_t n;
        std::memcpy(&n, &d, 8);
        for (int i = 0; i < 8; ++i)
            m_bytes.at(nOffset + i) = static_cast<uint8_t>(n >> (8 * i));
        return *this;
    }
    // Text bytes without a terminator (the buffer is zero already).
    CByteWriter& Text(size_t nOffset, const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i)
            m_bytes.at(nOffset + i) = static_cast<uint8_t>(text[i]);
        return *this;
    }
    CByteWriter& Bytes(size_t nOffset, const CBytes& bytes)
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            m_bytes.at(nOffset + i) = bytes[i];
        return *this;
    }
    const CBytes& Get() const { return m_bytes; }

private:
    CBytes m_bytes;
};

// Documented offsets.
namespace ScenarioLayout
{
constexpr size_t kHeader = 368, kRecords = 512, kRecord = 8888, kRecord30 = 920, kTrigger = 536;
constexpr size_t kVersion = 40, kInfo = 48, kRecordCount = 360;
constexpr size_t kInfoName = 0, kInfoDescription = 50, kInfoEndYear = 308;
constexpr size_t kYear = 0, kStand = 4, kTriggered = 36, kReserved = 40, kEndYear = 296, kFlags = 300, kTriggers = 304,
                 kTriggerCount = 8344, kTreatment = 8352;
constexpr size_t kTreatment30 = 384;
// Inside the 536-byte treatment.
constexpr size_t kGuid = 0, kName = 16, kDescription = 272, kData = 528, kDataSize = 532;
// Inside a 536-byte trigger condition.
constexpr size_t kVariable = 0, kDescA = 52, kDescB = 56, kDescC = 60, kLibrary = 64, kFunction = 324, kValue = 328, kOperator = 336,
                 kInclude = 344, kSpecies = 348, kSpeciesCount = 500, kDbhMax = 504, kDbhMin = 512, kHeightMax = 520, kHeightMin = 528;
}

struct SInfoBytes
{
    std::string name;
    std::string description;
    int32_t nEndYear = 0;
};

// The first 512 bytes of a scenario file.
inline CBytes HeaderBytes(const SInfoBytes& info, int32_t nRecords, double dVersion = 3.1)
{
    using namespace ScenarioLayout;
    CByteWriter w(kRecords);
    w.Text(4, "ScenarioFile").F64(kVersion, dVersion);
    w.Text(kInfo + kInfoName, info.name).Text(kInfo + kInfoDescription, info.description).I32(kInfo + kInfoEndYear, info.nEndYear);
    w.I32(kRecordCount, nRecords);
    return w.Get();
}

struct STriggerBytes
{
    std::string variable;
    double dValue = 0;
    int32_t nOperator = 0;
    int32_t bInclude = 0;
    std::vector<std::string> species;
    double dDbhMin = 0, dDbhMax = 999, dHeightMin = 0, dHeightMax = 999;
};

struct SRecordBytes
{
    int32_t nYear = 2030;
    std::string stand = "S1";
    bool bTriggered = false;
    int32_t nEndYear = 0;
    uint32_t nFlags = 0;
    uint8_t guidFirst = 0x11;  // GUID bytes guidFirst, guidFirst+1, ...
    std::string name = "Thin";
    std::string description;
    uint32_t nDataSize = 0;
    uint32_t pDataBytes = 0;   // what a writer left in the file's pData bytes
    std::vector<STriggerBytes> triggers;
    bool bDefaultTriggerPart = false;
};

// Bytes of the 536-byte treatment.
inline void TreatmentBytes(CByteWriter& w, size_t nAt, const SRecordBytes& r)
{
    using namespace ScenarioLayout;
    for (int i = 0; i < 16; ++i)
        w.Bytes(nAt + kGuid + i, CBytes{static_cast<uint8_t>(r.guidFirst + i)});
    w.Text(nAt + kName, r.name).Text(nAt + kDescription, r.description).U32(nAt + kData, r.pDataBytes).U32(nAt + kDataSize, r.nDataSize);
}

// The defaults of a trigger condition at nAt.
inline void DefaultTriggerBytes(CByteWriter& w, size_t nAt)
{
    using namespace ScenarioLayout;
    w.I32(nAt + kDescA, 5).I32(nAt + kDescB, 1).I32(nAt + kDescC, 9).F64(nAt + kDbhMax, 999.0).F64(nAt + kHeightMax, 999.0);
}

// One 8888-byte record.
inline CBytes RecordBytes(const SRecordBytes& r)
{
    using namespace ScenarioLayout;
    CByteWriter w(kRecord);
    if (r.bDefaultTriggerPart)
    {
        w.I32(kEndYear, -1);
        for (size_t i = 0; i < 15; ++i)
            DefaultTriggerBytes(w, kTriggers + i * kTrigger);
    }
    w.I32(kYear, r.nYear).Text(kStand, r.stand).I32(kTriggered, r.bTriggered ? 1 : 0);
    if (!r.bDefaultTriggerPart || r.nEndYear != 0)
        w.I32(kEndYear, r.nEndYear);
    w.U32(kFlags, r.nFlags).I32(kTriggerCount, static_cast<int32_t>(r.triggers.size()));
    for (size_t i = 0; i < r.triggers.size(); ++i)
    {
        const STriggerBytes& t = r.triggers[i];
        size_t at = kTriggers + i * kTrigger;
        DefaultTriggerBytes(w, at);
        w.Text(at + kVariable, t.variable).F64(at + kValue, t.dValue).I32(at + kOperator, t.nOperator).I32(at + kInclude, t.bInclude);
        for (size_t k = 0; k < t.species.size(); ++k)
            w.Text(at + kSpecies + 10 * k, t.species[k]);
        w.I32(at + kSpeciesCount, static_cast<int32_t>(t.species.size()));
        w.F64(at + kDbhMax, t.dDbhMax).F64(at + kDbhMin, t.dDbhMin).F64(at + kHeightMax, t.dHeightMax).F64(at + kHeightMin, t.dHeightMin);
    }
    TreatmentBytes(w, kTreatment, r);
    return w.Get();
}

// One 920-byte record of a version 3.0 file; the old trigger data is filled with 0xEE.
inline CBytes Record30Bytes(const SRecordBytes& r)
{
    using namespace ScenarioLayout;
    CByteWriter w(kRecord30);
    w.I32(kYear, r.nYear).Text(kStand, r.stand).I32(kTriggered, r.bTriggered ? 1 : 0);
    w.Bytes(40, CBytes(344, 0xEE));
    TreatmentBytes(w, kTreatment30, r);
    return w.Get();
}

// A data block of n bytes whose contents depend on the seed.
inline CBytes BlockBytes(size_t n, uint8_t seed)
{
    CBytes block(n);
    for (size_t i = 0; i < n; ++i)
        block[i] = static_cast<uint8_t>(seed + i * 7);
    return block;
}

// A whole file: header, records (8888 or 920 bytes), then the blocks back to back.
inline CBytes FileBytes(const SInfoBytes& info, const std::vector<SRecordBytes>& records, const std::vector<CBytes>& blocks, double dVersion = 3.1)
{
    CBytes file = HeaderBytes(info, static_cast<int32_t>(records.size()), dVersion);
    for (const SRecordBytes& r : records)
    {
        CBytes bytes = dVersion == 3.0 ? Record30Bytes(r) : RecordBytes(r);
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    for (const CBytes& b : blocks)
        file.insert(file.end(), b.begin(), b.end());
    return file;
}
