#include "ScenarioCommand.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Files.h"
#include "HostContext.h"
#include "ScenarioJson.h"
#include "ScenarioListing.h"

namespace
{
const char* kUsage =
    "usage: wox scenario show FILE\n"
    "       wox scenario export FILE [OUT.json]\n"
    "       wox scenario import JSON OUT\n";

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes through a temporary name beside the target and renames on success, so a failure never
// leaves a partial output file.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error)
{
    std::string temp = path + ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out.flush())
        {
            error = "cannot write " + temp;
            WoxDeleteFile(temp.c_str());
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(temp, path, code);
    if (code)
    {
        error = "cannot rename " + temp + ": " + code.message();
        WoxDeleteFile(temp.c_str());
        return false;
    }
    return true;
}

// Reads a scenario file without touching it: a 3.0 file is converted in memory only.
bool LoadDocument(CHostContext& host, const char* pszPath, CScenarioDocument& document, bool& bConverted, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(pszPath, text))
    {
        error = "cannot read the file";
        return false;
    }
    CByteVector bytes(text.begin(), text.end());
    return ReadScenarioBytes(host.Heap(), bytes, document, &error, &bConverted);
}

int Show(CHostContext& host, const char* pszPath, std::FILE* pOut, std::FILE* pErr)
{
    CScenarioDocument document;
    bool bConverted = false;
    std::string error;
    if (!LoadDocument(host, pszPath, document, bConverted, error))
    {
        std::fprintf(pErr, "wox scenario show: %s: %s\n", pszPath, error.c_str());
        return 1;
    }
    if (bConverted)
        std::fprintf(pOut, "(a version 3.0 file, shown as its conversion to 3.1; the file is not changed)\n");
    std::fputs(ScenarioToText(document).c_str(), pOut);
    return 0;
}

int Export(CHostContext& host, const char* pszPath, const char* pszOut, std::FILE* pOut, std::FILE* pErr)
{
    CScenarioDocument document;
    bool bConverted = false;
    std::string error;
    if (!LoadDocument(host, pszPath, document, bConverted, error))
    {
        std::fprintf(pErr, "wox scenario export: %s: %s\n", pszPath, error.c_str());
        return 1;
    }
    std::string json = ScenarioToJson(document);
    if (!pszOut)
    {
        std::fputs(json.c_str(), pOut);
        return 0;
    }
    if (!WriteTextFile(pszOut, json, error))
    {
        std::fprintf(pErr, "wox scenario export: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Import(CHostContext& host, const char* pszJson, const char* pszOut, std::FILE* pErr)
{
    std::string text;
    if (!ReadWholeFile(pszJson, text))
    {
        std::fprintf(pErr, "wox scenario import: %s: cannot read the file\n", pszJson);
        return 1;
    }
    CScenarioDocument document;
    std::string error;
    if (!ScenarioFromJson(text, document, error))
    {
        std::fprintf(pErr, "wox scenario import: %s: %s\n", pszJson, error.c_str());
        return 1;
    }
    // A scenario file cannot hold a record later than its end year (a save leaves it out).
    for (size_t i = 0; i < document.records.size(); ++i)
    {
        if (document.records[i].nYear > document.header.info.nEndYear)
        {
            std::fprintf(pErr, "wox scenario import: %s: records[%zu].year: %d is later than info.endYear %d\n", pszJson, i,
                         document.records[i].nYear, document.header.info.nEndYear);
            return 1;
        }
    }

    std::string temp = std::string(pszOut) + ".partial";
    bool bOk = false;
    bOk = WriteScenarioFile(temp.c_str(), host.Heap(), host.LibMgr(), host.Registry(), host.ErrorReporter(), document);
    std::error_code code;
    if (bOk)
        std::filesystem::rename(temp, pszOut, code);
    if (!bOk || code)
    {
        WoxDeleteFile(temp.c_str());
        std::fprintf(pErr, "wox scenario import: %s: cannot write the scenario file%s%s\n", pszOut, code ? ": " : "",
                     code ? code.message().c_str() : "");
        return 1;
    }
    return 0;
}
}

int RunScenarioCommand(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr)
{
    if (argc >= 3 && std::strcmp(argv[1], "show") == 0 && argc == 3)
        return Show(host, argv[2], pOut, pErr);
    if (argc >= 3 && std::strcmp(argv[1], "export") == 0 && argc <= 4)
        return Export(host, argv[2], argc == 4 ? argv[3] : nullptr, pOut, pErr);
    if (argc == 4 && std::strcmp(argv[1], "import") == 0)
        return Import(host, argv[2], argv[3], pErr);
    std::fputs(kUsage, pErr);
    return 2;
}

int RunScenarioCommand(CHostContext& host, int argc, char** argv) { return RunScenarioCommand(host, argc, argv, stdout, stderr); }
