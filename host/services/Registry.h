#pragma once
// The host registry: an INI file of sections and values, read once at start.

#include <map>
#include <string>
#include <vector>

#include "HostServices.h"

class CWoxRegistry final : public IWoxRegistry
{
public:
    // Reads the file; false with a reason when it cannot be read. Lines are "[Section]",
    // "Name=Value", or comments starting with ';' or '#'.
    bool Load(const char* pszPath, std::string* pError);
    // Adds or replaces a value (used by hosts that build their registry in memory).
    void SetString(const std::string& section, const std::string& value, const std::string& text);

    // Answers 0 when the value is missing or does not fit the buffer with its terminator: a cut
    // library path must never load some other file.
    int ReadString(const char* pszSection, const char* pszValue, char* pszBuffer, int nBuffer) override;

    // The value, or "" when missing.
    std::string Get(const std::string& section, const std::string& value) const;
    // A ';'-separated value as a list, empty entries dropped.
    std::vector<std::string> GetList(const std::string& section, const std::string& value) const;
    // Every value of a section, in name order.
    std::map<std::string, std::string> Section(const std::string& section) const;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::map<std::string, std::map<std::string, std::string>> m_sections;
};
