#pragma once
// The host species map: a catalogue of tree species (plant symbol, scientific name, common
// name) read from a CSV file, looked up by code in the group "Plants".

#include <string>
#include <vector>

#include "HostServices.h"

class CWoxSpeciesMap final : public ISpeciesMap
{
public:
    // Reads "code,scientific name,common name" lines (a header line starting with "code" and
    // '#' comments are skipped); false with the file, line and reason on a bad line. Only a
    // regular file of at most 16 MiB is read.
    bool Load(const char* pszPath, std::string* pError);
    // Adds the species of another file of the same form (a project's own species); false, adding
    // none, when the file is bad or repeats a code the catalogue has.
    bool Extend(const char* pszPath, std::string* pError);

    // Codes compare over the 10-character field, ignoring case.
    int LookupSpecies(const char* pszGroup, SSpeciesRecord* pRecord) override;

    const std::vector<SSpeciesRecord>& Species() const { return m_species; }
    // The code in the catalogue's spelling (matched without regard to case), "" when unknown.
    std::string Canonical(const char* pszCode) const;

private:
    static bool Parse(const char* pszPath, std::vector<SSpeciesRecord>& species, std::string* pError);
    const SSpeciesRecord* Find(const char* pszCode) const;

    std::vector<SSpeciesRecord> m_species;
};
