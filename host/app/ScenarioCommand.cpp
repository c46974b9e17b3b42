#include "ScenarioCommand.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "AtomicFile.h"
#include "HostContext.h"
#include "InputFile.h"
#include "ScenarioJson.h"
#include "ScenarioListing.h"
#include "TreatmentParameterCodec.h"

namespace
{
const char* kUsage =
    "usage: wox scenario show FILE\n"
    "       wox scenario export FILE [OUT.json]\n"
    "       wox scenario import JSON OUT\n";

// Largest inputs read whole: far beyond any real scenario, well below what would hurt.
constexpr size_t kMaxScenarioBytes = size_t{512} << 20;
constexpr size_t kMaxJsonBytes = size_t{256} << 20;

// Writes text to an output stream and flushes it; false with the reason when any byte is lost.
bool WriteStream(std::FILE* pOut, const std::string& text, std::string& error)
{
    errno = 0;
    bool bOk = std::fwrite(text.data(), 1, text.size(), pOut) == text.size();
    bOk = std::fflush(pOut) == 0 && bOk && !std::ferror(pOut);
    if (!bOk)
        error = std::string("cannot write the output: ") + (errno ? std::strerror(errno) : "write error");
    return bOk;
}

// Reads a scenario file without touching it: a 3.0 file is converted in memory only.
bool LoadDocument(CHostContext& host, const char* pszPath, CScenarioDocument& document, bool& bConverted, std::string& error)
{
    CByteVector bytes;
    if (!WoxReadFile(pszPath, kMaxScenarioBytes, bytes, &error))
        return false;
    if (ReadScenarioBytes(host.Heap(), std::move(bytes), document, &error, &bConverted))
        return true;
    error = std::string(pszPath) + ": " + error;
    return false;
}

int Show(CHostContext& host, const char* pszPath, std::FILE* pOut, std::FILE* pErr)
{
    CScenarioDocument document;
    bool bConverted = false;
    std::string error;
    if (!LoadDocument(host, pszPath, document, bConverted, error))
    {
        std::fprintf(pErr, "wox scenario show: %s\n", error.c_str());
        return 1;
    }
    std::string text = ScenarioToText(document);
    if (bConverted)
        text = "(a version 3.0 file, shown as its conversion to 3.1; the file is not changed)\n" + text;
    if (!WriteStream(pOut, text, error))
    {
        std::fprintf(pErr, "wox scenario show: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Export(CHostContext& host, const char* pszPath, const char* pszOut, std::FILE* pOut, std::FILE* pErr)
{
    CScenarioDocument document;
    bool bConverted = false;
    std::string error;
    if (!LoadDocument(host, pszPath, document, bConverted, error))
    {
        std::fprintf(pErr, "wox scenario export: %s\n", error.c_str());
        return 1;
    }
    const CTreatmentParameterCodec codec;
    std::string json = ScenarioToJson(document, &codec);
    if (!pszOut ? !WriteStream(pOut, json, error) : !WoxReplaceFile(pszOut, json, &error))
    {
        std::fprintf(pErr, "wox scenario export: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Import(CHostContext& host, const char* pszJson, const char* pszOut, std::FILE* pErr)
{
    std::string text, error;
    if (!WoxReadFile(pszJson, kMaxJsonBytes, text, &error))
    {
        std::fprintf(pErr, "wox scenario import: %s\n", error.c_str());
        return 1;
    }
    CScenarioDocument document;
    const CTreatmentParameterCodec codec;
    if (!ScenarioFromJson(text, document, error, &codec))
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
    // The file is made in memory by the scenario file object, then replaces OUT in one step.
    CByteVector bytes;
    if (!ScenarioDocumentBytes(host.Heap(), document, bytes))
    {
        std::fprintf(pErr, "wox scenario import: %s: cannot make the scenario file\n", pszOut);
        return 1;
    }
    if (!WoxReplaceFile(pszOut, bytes.data(), bytes.size(), &error))
    {
        std::fprintf(pErr, "wox scenario import: %s\n", error.c_str());
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
