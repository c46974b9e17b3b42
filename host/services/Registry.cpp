#include "Registry.h"

#include <cstring>
#include <sstream>

#include "InputFile.h"

namespace
{
std::string Trim(const std::string& text)
{
    size_t nBegin = text.find_first_not_of(" \t\r\n");
    if (nBegin == std::string::npos)
        return {};
    size_t nEnd = text.find_last_not_of(" \t\r\n");
    return text.substr(nBegin, nEnd - nBegin + 1);
}
}

bool CWoxRegistry::Load(const char* pszPath, std::string* pError)
{
    // Only a regular file of a sane size: a FIFO or a device would hold or flood the reader.
    constexpr size_t kMaxRegistryBytes = size_t{1} << 20;
    std::string text, why;
    if (!pszPath || !WoxReadFile(pszPath, kMaxRegistryBytes, text, &why))
    {
        if (pError)
            *pError = "cannot read the host registry: " + (pszPath ? why : std::string("none given"));
        return false;
    }
    std::istringstream in(text);
    m_path = pszPath;
    m_sections.clear();
    std::string line, section;
    int nLine = 0;
    while (std::getline(in, line))
    {
        ++nLine;
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']')
        {
            section = Trim(line.substr(1, line.size() - 2));
            continue;
        }
        size_t nEq = line.find('=');
        if (nEq == std::string::npos || section.empty())
        {
            if (pError)
                *pError = m_path + ":" + std::to_string(nLine) + ": expected [Section] or Name=Value";
            return false;
        }
        m_sections[section][Trim(line.substr(0, nEq))] = Trim(line.substr(nEq + 1));
    }
    return true;
}

void CWoxRegistry::SetString(const std::string& section, const std::string& value, const std::string& text)
{
    m_sections[section][value] = text;
}

int CWoxRegistry::ReadString(const char* pszSection, const char* pszValue, char* pszBuffer, int nBuffer)
{
    if (!pszSection || !pszValue || !pszBuffer || nBuffer <= 0)
        return 0;
    auto itSection = m_sections.find(pszSection);
    if (itSection == m_sections.end())
        return 0;
    auto itValue = itSection->second.find(pszValue);
    if (itValue == itSection->second.end() || itValue->second.size() >= static_cast<size_t>(nBuffer))
        return 0;
    std::memcpy(pszBuffer, itValue->second.c_str(), itValue->second.size() + 1);
    return 1;
}

std::string CWoxRegistry::Get(const std::string& section, const std::string& value) const
{
    auto itSection = m_sections.find(section);
    if (itSection == m_sections.end())
        return {};
    auto itValue = itSection->second.find(value);
    return itValue == itSection->second.end() ? std::string() : itValue->second;
}

std::vector<std::string> CWoxRegistry::GetList(const std::string& section, const std::string& value) const
{
    std::vector<std::string> items;
    std::stringstream stream(Get(section, value));
    std::string item;
    while (std::getline(stream, item, ';'))
    {
        item = Trim(item);
        if (!item.empty())
            items.push_back(item);
    }
    return items;
}

std::map<std::string, std::string> CWoxRegistry::Section(const std::string& section) const
{
    auto itSection = m_sections.find(section);
    return itSection == m_sections.end() ? std::map<std::string, std::string>() : itSection->second;
}
