#include "SpeciesMap.h"

#include <strings.h>

#include <sstream>

#include "InputFile.h"
#include "WoxText.h"

namespace
{
constexpr size_t kMaxCatalogueBytes = size_t{16} << 20;
}

bool CWoxSpeciesMap::Load(const char* pszPath, std::string* pError)
{
    std::vector<SSpeciesRecord> species;
    if (!Parse(pszPath, species, pError))
        return false;
    m_species = std::move(species);
    return true;
}

bool CWoxSpeciesMap::Extend(const char* pszPath, std::string* pError)
{
    std::vector<SSpeciesRecord> species;
    if (!Parse(pszPath, species, pError))
        return false;
    for (const auto& record : species)
        if (Find(record.szCode))
        {
            char szCode[11] = {};
            WoxFieldToString(szCode, sizeof szCode, record.szCode, 10);
            if (pError)
                *pError = std::string(pszPath) + ": species " + szCode + " is in the catalogue already";
            return false;
        }
    m_species.insert(m_species.end(), species.begin(), species.end());
    return true;
}

bool CWoxSpeciesMap::Parse(const char* pszPath, std::vector<SSpeciesRecord>& species, std::string* pError)
{
    std::string text, why;
    if (!pszPath || !WoxReadFile(pszPath, kMaxCatalogueBytes, text, &why))
    {
        if (pError)
            *pError = "cannot read the species catalogue: " + (pszPath ? why : std::string("none given"));
        return false;
    }
    std::istringstream in(text);
    std::string line;
    for (int nLine = 1; std::getline(in, line); ++nLine)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#' || (nLine == 1 && strncasecmp(line.c_str(), "code", 4) == 0))
            continue;
        std::stringstream fields(line);
        std::string code, scientific, common;
        if (!std::getline(fields, code, ',') || !std::getline(fields, scientific, ',') || !std::getline(fields, common))
        {
            if (pError)
                *pError = std::string(pszPath) + ":" + std::to_string(nLine) + ": expected code,scientific name,common name";
            return false;
        }
        if (code.empty() || code.size() > 10)
        {
            if (pError)
                *pError = std::string(pszPath) + ":" + std::to_string(nLine) + ": species code must have 1 to 10 characters";
            return false;
        }
        SSpeciesRecord record = {};
        WoxCopyText(record.szCode, code.c_str());
        WoxCopyText(record.szScientificName, scientific.c_str());
        WoxCopyText(record.szCommonName, common.c_str());
        species.push_back(record);
    }
    return true;
}

const SSpeciesRecord* CWoxSpeciesMap::Find(const char* pszCode) const
{
    char szCode[11] = {};
    WoxFieldToString(szCode, sizeof szCode, pszCode, 10);
    for (const auto& record : m_species)
    {
        char szKnown[11] = {};
        WoxFieldToString(szKnown, sizeof szKnown, record.szCode, 10);
        if (strcasecmp(szKnown, szCode) == 0)
            return &record;
    }
    return nullptr;
}

std::string CWoxSpeciesMap::Canonical(const char* pszCode) const
{
    const SSpeciesRecord* pKnown = pszCode ? Find(pszCode) : nullptr;
    if (!pKnown)
        return {};
    char szCode[sizeof pKnown->szCode + 1];
    WoxFieldToString(szCode, sizeof szCode, pKnown->szCode, sizeof pKnown->szCode);
    return szCode;
}

int CWoxSpeciesMap::LookupSpecies(const char* pszGroup, SSpeciesRecord* pRecord)
{
    if (!pszGroup || !pRecord || std::strcmp(pszGroup, "Plants") != 0)
        return 0;
    const SSpeciesRecord* pKnown = Find(pRecord->szCode);
    if (!pKnown)
        return 0;
    *pRecord = *pKnown;
    return 1;
}
