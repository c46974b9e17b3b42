#include "SpeciesMap.h"

#include <strings.h>

#include <fstream>
#include <sstream>

#include "WoxText.h"

bool CWoxSpeciesMap::Load(const char* pszPath, std::string* pError)
{
    std::ifstream in(pszPath ? pszPath : "");
    if (!in)
    {
        if (pError)
            *pError = std::string("cannot read the species catalogue ") + (pszPath ? pszPath : "(none)");
        return false;
    }
    std::vector<SSpeciesRecord> species;
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
    m_species = std::move(species);
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

bool CWoxSpeciesMap::IsKnown(const char* pszCode) const { return pszCode && Find(pszCode) != nullptr; }

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
