#include "CsvTable.h"

#include <csv.h>
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "InputFile.h"

namespace
{
constexpr size_t kNoColumn = static_cast<size_t>(-1);
constexpr size_t kProgressStep = size_t{1} << 20;

// The parser's callbacks collect one record's fields; the header record maps names to columns.
struct SState
{
    const std::vector<SCsvColumn>* pColumns;
    const CCsvTable::Row* pRow;
    std::vector<std::string>* pUnknown;
    std::string* pError;
    size_t nLine = 1;          // line being fed
    size_t nStartLine = 1;     // line the parser last stood between records
    size_t nRecordLine = 0;    // line the current record starts on
    size_t nField = 0;         // fields seen of the current record
    bool bHeader = true;
    bool bFailed = false;
    std::vector<size_t> target;          // header field -> requested column, kNoColumn if unknown
    std::vector<std::string> header;
    // The parser hands each field over in a buffer of its own that the next field overwrites:
    // the requested fields of a record are gathered in record. A record of the header's field
    // count sets every column the header has, so fields never shows one of an earlier record.
    std::string record;
    size_t nRecordSize = 0;                   // bytes of record in use
    std::vector<std::string_view> fields;     // one per requested column, into record or ""
    std::vector<std::string_view> empty;
    std::string problem;
};

void Trim(const char*& pBegin, size_t& nSize)
{
    while (nSize && (*pBegin == ' ' || *pBegin == '\t'))
        ++pBegin, --nSize;
    while (nSize && (pBegin[nSize - 1] == ' ' || pBegin[nSize - 1] == '\t'))
        --nSize;
}

// Copies n bytes; the short fields most files hold without a call to the library's copy.
void CopyBytes(char* pTo, const char* pFrom, size_t n)
{
    if (n > 16)
        std::memcpy(pTo, pFrom, n);
    else if (n >= 8)
    {
        std::memcpy(pTo, pFrom, 8);
        std::memcpy(pTo + n - 8, pFrom + n - 8, 8);
    }
    else if (n >= 4)
    {
        std::memcpy(pTo, pFrom, 4);
        std::memcpy(pTo + n - 4, pFrom + n - 4, 4);
    }
    else if (n >= 2)
    {
        std::memcpy(pTo, pFrom, 2);
        std::memcpy(pTo + n - 2, pFrom + n - 2, 2);
    }
    else if (n == 1)
        *pTo = *pFrom;
}

// Makes room for nMore bytes in the record buffer; the fields it holds move with it.
void Grow(SState& s, size_t nMore)
{
    const char* pOld = s.record.data();
    const size_t nOld = s.record.size();
    s.record.resize(std::max(2 * nOld, s.nRecordSize + nMore));
    for (std::string_view& field : s.fields)
    {
        const uintptr_t nAt = reinterpret_cast<uintptr_t>(field.data()) - reinterpret_cast<uintptr_t>(pOld);
        if (nAt <= nOld)
            field = {s.record.data() + nAt, field.size()};
    }
}

void OnField(void* pData, size_t nSize, void* pContext)
{
    auto& s = *static_cast<SState*>(pContext);
    const size_t nField = s.nField++;
    if (nField == 0)
        s.nRecordLine = s.nStartLine;
    const char* pText = pData ? static_cast<const char*>(pData) : "";
    Trim(pText, nSize);
    if (s.bHeader)
        s.header.emplace_back(pText, nSize);
    else if (nField < s.target.size() && s.target[nField] != kNoColumn)
    {
        if (nSize > s.record.size() - s.nRecordSize)
            Grow(s, nSize);
        char* pCopy = s.record.data() + s.nRecordSize;
        CopyBytes(pCopy, pText, nSize);
        s.fields[s.target[nField]] = {pCopy, nSize};
        s.nRecordSize += nSize;
    }
}

bool MapHeader(SState& s)
{
    const auto& columns = *s.pColumns;
    std::vector<bool> seen(columns.size(), false);
    for (const std::string& name : s.header)
    {
        size_t nColumn = kNoColumn;
        for (size_t i = 0; i < columns.size(); ++i)
            if (strcasecmp(name.c_str(), columns[i].pszName) == 0)
                nColumn = i;
        if (nColumn == kNoColumn)
            s.pUnknown->push_back(name);
        else if (seen[nColumn])
        {
            *s.pError = "line " + std::to_string(s.nRecordLine) + ": column " + columns[nColumn].pszName + " appears twice in the header";
            return false;
        }
        else
            seen[nColumn] = true;
        s.target.push_back(nColumn);
    }
    std::string missing;
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].bRequired && !seen[i])
            missing += std::string(missing.empty() ? "" : ", ") + columns[i].pszName;
    if (!missing.empty())
    {
        *s.pError = "line " + std::to_string(s.nRecordLine) + ": the header lacks the column" + (missing.find(',') == std::string::npos ? " " : "s ") + missing;
        return false;
    }
    return true;
}

void OnRecord(int, void* pContext)
{
    auto& s = *static_cast<SState*>(pContext);
    if (s.bFailed)
        return;
    if (s.bHeader)
    {
        s.bHeader = false;
        s.bFailed = !MapHeader(s);
    }
    else if (s.nField != s.target.size())
    {
        s.problem = "expected " + std::to_string(s.target.size()) + " columns, found " + std::to_string(s.nField);
        (*s.pRow)(s.nRecordLine, s.empty, s.problem.c_str());
    }
    else
        (*s.pRow)(s.nRecordLine, s.fields, nullptr);
    s.nRecordSize = 0;
    s.nField = 0;
}
}

bool CCsvTable::Read(const std::string& path, const std::vector<SCsvColumn>& columns, const Row& row, std::vector<std::string>& unknownColumns,
                     std::string* pError, const Progress& progress)
{
    std::string error;
    std::string bytes;
    auto fail = [&](const std::string& why) {
        if (pError)
            *pError = why;
        return false;
    };
    if (!WoxReadFile(path, kMaxFileBytes, bytes, &error))
        return fail(error);

    SState s;
    s.pColumns = &columns;
    s.pRow = &row;
    s.pUnknown = &unknownColumns;
    s.pError = &error;
    s.fields.assign(columns.size(), std::string_view(""));
    s.record.resize(4096);
    unknownColumns.clear();

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT_FINI) != 0)
        return fail("cannot start the CSV parser");
    size_t nAt = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        nAt = 3;
    size_t nRecordStart = nAt, nNextProgress = kProgressStep;
    // Fed a line at a time so that every record knows the line it starts on.
    while (nAt < bytes.size() && !s.bFailed)
    {
        const char* pEnd = static_cast<const char*>(std::memchr(bytes.data() + nAt, '\n', bytes.size() - nAt));
        size_t nEnd = pEnd ? static_cast<size_t>(pEnd - bytes.data()) + 1 : bytes.size();
        if (parser.pstate == 0)   // between records: the next one starts on this line
        {
            nRecordStart = nAt;
            s.nStartLine = s.nLine;
        }
        if (csv_parse(&parser, bytes.data() + nAt, nEnd - nAt, OnField, OnRecord, &s) != nEnd - nAt)
        {
            s.bFailed = true;
            error = "line " + std::to_string(s.nLine) + ": " + csv_strerror(csv_error(&parser));
            break;
        }
        if (parser.pstate != 0 && nEnd - nRecordStart > kMaxRecordBytes)
        {
            s.bFailed = true;
            error = "line " + std::to_string(s.nStartLine) + ": a record longer than " + std::to_string(kMaxRecordBytes) +
                    " bytes (a quoted field that is never closed?)";
            break;
        }
        nAt = nEnd;
        ++s.nLine;
        if (progress && nAt >= nNextProgress)
        {
            progress(static_cast<double>(nAt) / static_cast<double>(bytes.size()));
            nNextProgress = nAt + kProgressStep;
        }
    }
    if (!s.bFailed && csv_fini(&parser, OnField, OnRecord, &s) != 0)
    {
        s.bFailed = true;
        error = "line " + std::to_string(s.nStartLine) + ": a quoted field is never closed";
    }
    csv_free(&parser);
    if (!s.bFailed && s.bHeader)
        return fail("the file is empty (no header line)");
    if (s.bFailed)
        return fail(error);
    // Files read in one step show no progress at all.
    if (progress && bytes.size() >= kProgressStep)
        progress(1.0);
    return true;
}
