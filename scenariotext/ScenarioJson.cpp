#include "ScenarioJson.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "WoxText.h"

using nlohmann::json;

namespace
{
constexpr const char* kFormat = "wox-scenario";
constexpr int kFormatVersion = 1;
constexpr size_t kDataHandleOffset = offsetof(SScenarioTreatment, treatment) + offsetof(STreatmentDataTreatment, pData);
// Differing bytes closer than this are carried in one run.
constexpr size_t kRunGap = 8;

// Thrown inside this file only: one line naming the field at fault.
struct STextError
{
    std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& what) { throw STextError{path + ": " + what}; }

// ----- texts, numbers and bytes -----

std::string Utf8ToLatin1(const std::string& text, const std::string& path)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i)
    {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
        {
            bytes += static_cast<char>(c);
        }
        else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size())
        {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
            ++i;
        }
        else
        {
            Fail(path, "character outside Latin-1");
        }
    }
    return bytes;
}

std::string ToHex(const uint8_t* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex(n * 2, '0');
    for (size_t i = 0; i < n; ++i)
    {
        hex[2 * i] = digits[p[i] >> 4];
        hex[2 * i + 1] = digits[p[i] & 15];
    }
    return hex;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

CByteVector FromHex(const std::string& hex, const std::string& path)
{
    if (hex.size() % 2)
        Fail(path, "hex text of odd length");
    CByteVector bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            Fail(path, "not a hex digit");
        bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return bytes;
}

json DoubleToJson(double d)
{
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "inf" : "-inf";
    return d;
}

// ----- reading fields of a JSON object with the field's path in every error -----

class CReader
{
public:
    CReader(const json& object, std::string path) : m_object(object), m_path(std::move(path))
    {
        if (!m_object.is_object())
            Fail(m_path.empty() ? "(document)" : m_path, "expected an object");
    }

    std::string Path(const char* pszField) const { return m_path.empty() ? pszField : m_path + "." + pszField; }

    bool Has(const char* pszField) const { return m_object.contains(pszField); }

    const json& Field(const char* pszField) const
    {
        auto it = m_object.find(pszField);
        if (it == m_object.end())
            Fail(Path(pszField), "missing");
        return *it;
    }

    int64_t Integer(const char* pszField, int64_t nMin, int64_t nMax) const
    {
        const json& value = Field(pszField);
        if (!value.is_number_integer())
            Fail(Path(pszField), "expected an integer");
        int64_t n = value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : value.get<int64_t>();
        if (n < nMin || n > nMax)
            Fail(Path(pszField), "out of range");
        return n;
    }
    int32_t Int32(const char* pszField) const { return static_cast<int32_t>(Integer(pszField, INT32_MIN, INT32_MAX)); }
    uint32_t UInt32(const char* pszField) const { return static_cast<uint32_t>(Integer(pszField, 0, UINT32_MAX)); }

    bool Boolean(const char* pszField) const
    {
        const json& value = Field(pszField);
        if (!value.is_boolean())
            Fail(Path(pszField), "expected true or false");
        return value.get<bool>();
    }

    double Double(const char* pszField) const
    {
        const json& value = Field(pszField);
        if (value.is_number())
            return value.get<double>();
        if (value.is_string())
        {
            const std::string& s = value.get_ref<const std::string&>();
            if (s == "nan")
                return std::numeric_limits<double>::quiet_NaN();
            if (s == "inf")
                return std::numeric_limits<double>::infinity();
            if (s == "-inf")
                return -std::numeric_limits<double>::infinity();
        }
        Fail(Path(pszField), "expected a number");
    }

    std::string String(const char* pszField) const
    {
        const json& value = Field(pszField);
        if (!value.is_string())
            Fail(Path(pszField), "expected a string");
        return value.get<std::string>();
    }

    // A text into a fixed field: Latin-1, at most the field's width.
    void Text(const char* pszField, char* pField, size_t nWidth) const
    {
        std::string bytes = Utf8ToLatin1(String(pszField), Path(pszField));
        if (bytes.size() > nWidth)
            Fail(Path(pszField), "longer than " + std::to_string(nWidth) + " characters");
        std::memcpy(pField, bytes.data(), bytes.size());
    }

    const json& Array(const char* pszField) const
    {
        const json& value = Field(pszField);
        if (!value.is_array())
            Fail(Path(pszField), "expected an array");
        return value;
    }

private:
    const json& m_object;
    std::string m_path;
};

// ----- extra bytes: what the named fields do not reproduce -----

json ExtraBytes(const uint8_t* pActual, const uint8_t* pRebuilt, size_t nSize)
{
    json runs = json::array();
    size_t i = 0;
    while (i < nSize)
    {
        if (pActual[i] == pRebuilt[i])
        {
            ++i;
            continue;
        }
        size_t nEnd = i + 1, nSame = 0;
        for (size_t j = nEnd; j < nSize && nSame < kRunGap; ++j)
        {
            if (pActual[j] != pRebuilt[j])
            {
                nEnd = j + 1;
                nSame = 0;
            }
            else
            {
                ++nSame;
            }
        }
        runs.push_back({{"offset", i}, {"hex", ToHex(pActual + i, nEnd - i)}});
        i = nEnd;
    }
    return runs;
}

size_t DifferingBytes(const uint8_t* a, const uint8_t* b, size_t nSize)
{
    size_t n = 0;
    for (size_t i = 0; i < nSize; ++i)
        n += a[i] != b[i];
    return n;
}

void ApplyExtraBytes(const CReader& reader, uint8_t* pRecord, size_t nSize)
{
    if (!reader.Has("extraBytes"))
        return;
    const json& runs = reader.Array("extraBytes");
    for (size_t i = 0; i < runs.size(); ++i)
    {
        CReader run(runs[i], reader.Path("extraBytes") + "[" + std::to_string(i) + "]");
        int64_t nOffset = run.Integer("offset", 0, static_cast<int64_t>(nSize));
        CByteVector bytes = FromHex(run.String("hex"), run.Path("hex"));
        if (bytes.size() > nSize - static_cast<size_t>(nOffset))
            Fail(run.Path("hex"), "reaches past the end of the record");
        if (!bytes.empty())  // an empty run has no bytes to copy (and no buffer to copy from)
            std::memcpy(pRecord + nOffset, bytes.data(), bytes.size());
    }
}

// ----- info -----

json InfoNamed(const SScenarioInfo& info)
{
    return {{"name", Latin1ToUtf8(info.szName, sizeof info.szName)},
            {"description", Latin1ToUtf8(info.szDescription, sizeof info.szDescription)},
            {"endYear", info.nEndYear}};
}

SScenarioInfo InfoFromJson(const json& value, const std::string& path, bool bExtraBytes)
{
    CReader reader(value, path);
    SScenarioInfo info;
    std::memset(&info, 0, sizeof info);
    reader.Text("name", info.szName, sizeof info.szName);
    reader.Text("description", info.szDescription, sizeof info.szDescription);
    info.nEndYear = reader.Int32("endYear");
    if (bExtraBytes)
        ApplyExtraBytes(reader, reinterpret_cast<uint8_t*>(&info), sizeof info);
    return info;
}

// ----- records -----

json TriggerNamed(const SScenarioTriggerSpec& spec)
{
    json species = json::array();
    for (int i = 0; i < ScenarioSpeciesCount(spec); ++i)
        species.push_back(Latin1ToUtf8(spec.szSpecies[i], sizeof spec.szSpecies[i]));
    return {{"variable", Latin1ToUtf8(spec.szVariable, sizeof spec.szVariable)},
            {"descriptorA", spec.nDescriptorA},
            {"descriptorB", spec.nDescriptorB},
            {"descriptorC", spec.nDescriptorC},
            {"library", Latin1ToUtf8(spec.szLibrary, sizeof spec.szLibrary)},
            {"function", spec.nFunction},
            {"value", DoubleToJson(spec.dValue)},
            {"operator", spec.nOperator},
            {"include", spec.bInclude},
            {"speciesCount", spec.nSpecies},
            {"species", species},
            {"dbhMax", DoubleToJson(spec.dDbhMax)},
            {"dbhMin", DoubleToJson(spec.dDbhMin)},
            {"heightMax", DoubleToJson(spec.dHeightMax)},
            {"heightMin", DoubleToJson(spec.dHeightMin)}};
}

void TriggerFromJson(const json& value, const std::string& path, SScenarioTriggerSpec& spec)
{
    CReader reader(value, path);
    std::memset(spec.szVariable, 0, sizeof spec.szVariable);
    reader.Text("variable", spec.szVariable, sizeof spec.szVariable);
    spec.nDescriptorA = reader.Int32("descriptorA");
    spec.nDescriptorB = reader.Int32("descriptorB");
    spec.nDescriptorC = reader.Int32("descriptorC");
    std::memset(spec.szLibrary, 0, sizeof spec.szLibrary);
    reader.Text("library", spec.szLibrary, sizeof spec.szLibrary);
    spec.nFunction = reader.Int32("function");
    spec.dValue = reader.Double("value");
    spec.nOperator = reader.Int32("operator");
    spec.bInclude = reader.Int32("include");
    spec.nSpecies = reader.Int32("speciesCount");
    const json& species = reader.Array("species");
    if (species.size() != static_cast<size_t>(ScenarioSpeciesCount(spec)))
        Fail(reader.Path("species"), "expected " + std::to_string(ScenarioSpeciesCount(spec)) + " codes (speciesCount)");
    std::memset(spec.szSpecies, 0, sizeof spec.szSpecies);
    for (size_t i = 0; i < species.size(); ++i)
    {
        std::string itemPath = reader.Path("species") + "[" + std::to_string(i) + "]";
        if (!species[i].is_string())
            Fail(itemPath, "expected a string");
        std::string code = Utf8ToLatin1(species[i].get<std::string>(), itemPath);
        if (code.size() > sizeof spec.szSpecies[i])
            Fail(itemPath, "longer than 10 characters");
        std::memcpy(spec.szSpecies[i], code.data(), code.size());
    }
    spec.dDbhMax = reader.Double("dbhMax");
    spec.dDbhMin = reader.Double("dbhMin");
    spec.dHeightMax = reader.Double("heightMax");
    spec.dHeightMin = reader.Double("heightMin");
}

// The named fields of a record (without "triggerPartDefaults" and "extraBytes").
json RecordNamed(const SScenarioTreatment& record, const CByteVector& block)
{
    json triggers = json::array();
    for (int i = 0; i < ScenarioTriggerCount(record); ++i)
        triggers.push_back(TriggerNamed(record.triggers[i]));
    const STreatmentDataTreatment& t = record.treatment;
    return {{"year", record.nYear},
            {"stand", Latin1ToUtf8(record.szStand, sizeof record.szStand)},
            {"triggered", record.bTriggered},
            {"endYear", record.nEndYear},
            {"flags", record.nFlags},
            {"triggerCount", record.nTriggers},
            {"triggers", triggers},
            {"treatment",
             {{"component", GuidToText(t.guidComponent)},
              {"name", Latin1ToUtf8(t.szName, sizeof t.szName)},
              {"description", Latin1ToUtf8(t.szDescription, sizeof t.szDescription)},
              {"data", ToHex(block.data(), block.size())}}}};
}

// Rebuilds a record from its JSON object; bExtraBytes applies the carried bytes last.
std::vector<SParameterValue> ParametersFromJson(const CReader& treatment)
{
    const json& object = treatment.Field("parameters");
    if (!object.is_object())
        Fail(treatment.Path("parameters"), "expected an object");
    std::vector<SParameterValue> values;
    for (const auto& [name, value] : object.items())
    {
        SParameterValue parameter;
        parameter.name = name;
        const std::string path = treatment.Path("parameters") + "." + name;
        if (value.is_number())
            parameter.dValue = value.get<double>();
        else if (value.is_string())
        {
            parameter.bText = true;
            parameter.text = Utf8ToLatin1(value.get<std::string>(), path);
        }
        else
            Fail(path, "expected a number or a string");
        values.push_back(std::move(parameter));
    }
    return values;
}

json ParametersToJson(const std::vector<SParameterValue>& values)
{
    json object = json::object();
    for (const SParameterValue& value : values)
        object[value.name] = value.bText ? json(Latin1ToUtf8(value.text.c_str(), value.text.size())) : DoubleToJson(value.dValue);
    return object;
}

void RecordFromJson(const json& value, const std::string& path, bool bExtraBytes, SScenarioTreatment& record, CByteVector& block,
                    const IParameterCodec* pCodec = nullptr)
{
    CReader reader(value, path);
    std::memset(&record, 0, sizeof record);
    if (reader.Has("triggerPartDefaults") && reader.Boolean("triggerPartDefaults"))
        ResetTriggerPart(record);
    record.nYear = reader.Int32("year");
    reader.Text("stand", record.szStand, sizeof record.szStand);
    record.bTriggered = reader.Int32("triggered");
    record.nEndYear = reader.Int32("endYear");
    record.nFlags = reader.UInt32("flags");
    record.nTriggers = reader.Int32("triggerCount");
    const json& triggers = reader.Array("triggers");
    if (triggers.size() != static_cast<size_t>(ScenarioTriggerCount(record)))
        Fail(reader.Path("triggers"), "expected " + std::to_string(ScenarioTriggerCount(record)) + " conditions (triggerCount)");
    for (size_t i = 0; i < triggers.size(); ++i)
        TriggerFromJson(triggers[i], reader.Path("triggers") + "[" + std::to_string(i) + "]", record.triggers[i]);

    CReader treatment(reader.Field("treatment"), reader.Path("treatment"));
    if (!GuidFromText(treatment.String("component"), record.treatment.guidComponent))
        Fail(treatment.Path("component"), "expected a GUID such as {01234567-89AB-CDEF-0123-456789ABCDEF}");
    treatment.Text("name", record.treatment.szName, sizeof record.treatment.szName);
    treatment.Text("description", record.treatment.szDescription, sizeof record.treatment.szDescription);
    const bool bParameters = treatment.Has("parameters");
    block = !bParameters || treatment.Has("data") ? FromHex(treatment.String("data"), treatment.Path("data")) : CByteVector();
    if (bParameters)
    {
        std::string why;
        if (!pCodec)
            Fail(treatment.Path("parameters"), "not read here; give the block as hex in data");
        if (!pCodec->Encode(record.treatment.guidComponent, ParametersFromJson(treatment), block, why))
            Fail(treatment.Path("parameters"), why);
    }
    if (block.size() > UINT32_MAX)
        Fail(treatment.Path("data"), "too large");
    record.treatment.nDataSize = static_cast<uint32_t>(block.size());
    if (bExtraBytes)
        ApplyExtraBytes(reader, reinterpret_cast<uint8_t*>(&record), sizeof record);
    record.treatment.pData = 0;
}

json RecordToJson(const SScenarioTreatment& record, const CByteVector& block, const IParameterCodec* pCodec)
{
    SScenarioTreatment actual = record;
    actual.treatment.pData = 0;
    json named = RecordNamed(actual, block);

    // Carry the fewest bytes: rebuild on a zero-filled base and on the default trigger part.
    SScenarioTreatment rebuilt[2];
    size_t nDiffering[2];
    CByteVector scratch;
    for (int bDefaults = 0; bDefaults < 2; ++bDefaults)
    {
        named["triggerPartDefaults"] = bDefaults != 0;
        RecordFromJson(named, "", false, rebuilt[bDefaults], scratch);
        nDiffering[bDefaults] = DifferingBytes(reinterpret_cast<const uint8_t*>(&actual), reinterpret_cast<const uint8_t*>(&rebuilt[bDefaults]), sizeof actual);
    }
    int bDefaults = nDiffering[1] < nDiffering[0] ? 1 : 0;
    named["triggerPartDefaults"] = bDefaults != 0;
    json extra = ExtraBytes(reinterpret_cast<const uint8_t*>(&actual), reinterpret_cast<const uint8_t*>(&rebuilt[bDefaults]), sizeof actual);
    if (!extra.empty())
        named["extraBytes"] = extra;
    std::vector<SParameterValue> parameters;
    if (pCodec && pCodec->Decode(record.treatment.guidComponent, block, parameters))
        named["treatment"]["parameters"] = ParametersToJson(parameters);
    return named;
}

}

bool GuidFromText(const std::string& text, GUID& guid)
{
    // {8-4-4-4-12} hex digits, braces required.
    static const char pattern[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != sizeof pattern - 1)
        return false;
    uint8_t digits[32];
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (pattern[i] != 'x')
        {
            if (text[i] != pattern[i])
                return false;
            continue;
        }
        int d = HexDigit(text[i]);
        if (d < 0)
            return false;
        digits[n++] = static_cast<uint8_t>(d);
    }
    auto value = [&](size_t nFirst, size_t nCount) {
        uint32_t v = 0;
        for (size_t i = 0; i < nCount; ++i)
            v = v * 16 + digits[nFirst + i];
        return v;
    };
    guid.Data1 = value(0, 8);
    guid.Data2 = static_cast<uint16_t>(value(8, 4));
    guid.Data3 = static_cast<uint16_t>(value(12, 4));
    for (size_t i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<uint8_t>(value(16 + 2 * i, 2));
    return true;
}

std::string ScenarioToJson(const CScenarioDocument& document, const IParameterCodec* pCodec)
{
    const SScenarioHeader& header = document.header;
    json info = InfoNamed(header.info);
    SScenarioInfo rebuilt = InfoFromJson(info, "info", false);
    json extra = ExtraBytes(reinterpret_cast<const uint8_t*>(&header.info), reinterpret_cast<const uint8_t*>(&rebuilt), sizeof rebuilt);
    if (!extra.empty())
        info["extraBytes"] = extra;

    json records = json::array();
    for (size_t i = 0; i < document.records.size(); ++i)
        records.push_back(RecordToJson(document.records[i], i < document.blocks.size() ? document.blocks[i] : CByteVector(), pCodec));

    json root = {{"format", kFormat},
                 {"formatVersion", kFormatVersion},
                 {"file",
                  {{"signature", Latin1ToUtf8(header.szSignature, sizeof header.szSignature)},
                   {"version", DoubleToJson(header.dVersion)},
                   {"recordCount", header.nRecords}}},
                 {"info", info},
                 {"records", records}};
    return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool ScenarioFromJson(const std::string& text, CScenarioDocument& document, std::string& error, const IParameterCodec* pCodec)
{
    document = CScenarioDocument();
    json root;
    try
    {
        root = json::parse(text);
    }
    catch (const json::parse_error& e)
    {
        error = std::string("invalid JSON: ") + e.what();
        return false;
    }
    try
    {
        CReader reader(root, "");
        if (reader.String("format") != kFormat)
            Fail("format", std::string("expected \"") + kFormat + "\"");
        if (reader.Integer("formatVersion", 0, INT32_MAX) != kFormatVersion)
            Fail("formatVersion", "expected " + std::to_string(kFormatVersion));
        std::memset(&document.header, 0, sizeof document.header);
        WoxCopyText(document.header.szSignature, "ScenarioFile");
        document.header.dVersion = WOX_SCENARIO_VERSION;
        document.header.info = InfoFromJson(reader.Field("info"), "info", true);
        const json& records = reader.Array("records");
        if (records.size() > static_cast<size_t>(INT32_MAX / sizeof(SScenarioTreatment)))
            Fail("records", "too many records");
        // Each record is checked before it takes its 8888 bytes, so memory grows only with records
        // that the input really holds (never with a count of empty or broken ones).
        SScenarioTreatment record;
        for (size_t i = 0; i < records.size(); ++i)
        {
            CByteVector block;
            RecordFromJson(records[i], "records[" + std::to_string(i) + "]", true, record, block, pCodec);
            document.records.push_back(record);
            document.blocks.push_back(std::move(block));
        }
        document.header.nRecords = static_cast<int32_t>(records.size());
        return true;
    }
    catch (const STextError& e)
    {
        error = e.message;
    }
    catch (const std::exception& e)
    {
        error = std::string("invalid scenario JSON: ") + e.what();
    }
    document = CScenarioDocument();
    return false;
}
