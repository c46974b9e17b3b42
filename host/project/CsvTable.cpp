#include "CsvTable.h"

#include <csv.h>
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "InputFile.h"

namespace
{
constexpr size_t kNoColumn = static_cast<size_t>(-1);
constexpr size_t kPiece = size_t{1} << 20;   // bytes fed to the parser at a time

// The parser writes each field into the buffer its state names and hands it over from there.
// The reader names one buffer per record and, after each field, the room behind that field: a
// record's fields then lie side by side where the parser wrote them, and rows see them without a
// copy. A record's finished fields hold at most kMaxRecordBytes and one piece of input adds at
// most kPiece to an open record, so the parser never fills the room it is given; should it ask
// for more, it asks RefuseGrowth and stops with an error.
constexpr size_t kArenaBytes = CCsvTable::kMaxRecordBytes + kPiece + 64;

void* RefuseGrowth(void*, size_t) { return nullptr; }
void KeepBuffer(void*) {}

// Whether this build of the parser writes fields where its state names, as the reader assumes;
// tried once on a record of two fields. A parser that keeps its buffer to itself has the fields
// copied out of it instead.
bool ParserWritesInPlace()
{
    static const bool bInPlace = [] {
        struct SProbe
        {
            csv_parser parser;
            char buffer[64];
            const void* pSecond = nullptr;
            int nFields = 0;
        } probe;
        if (csv_init(&probe.parser, 0) != 0)
            return false;
        csv_set_realloc_func(&probe.parser, RefuseGrowth);
        csv_set_free_func(&probe.parser, KeepBuffer);
        probe.parser.entry_buf = reinterpret_cast<unsigned char*>(probe.buffer);
        probe.parser.entry_size = 32;
        auto onField = [](void* pData, size_t nSize, void* pContext) {
            auto& p = *static_cast<SProbe*>(pContext);
            if (p.nFields++ == 0)
            {
                p.parser.entry_buf = reinterpret_cast<unsigned char*>(p.buffer + 32);
                p.parser.entry_size = 32;
            }
            else if (nSize == 1 && static_cast<const char*>(pData)[0] == 'b')
                p.pSecond = pData;
        };
        const size_t nParsed = csv_parse(&probe.parser, "a,b\n", 4, onField, nullptr, &probe);
        csv_free(&probe.parser);
        return nParsed == 4 && probe.pSecond == probe.buffer + 32;
    }();
    return bInPlace;
}

// The parser's callbacks collect one record's fields; the header record maps names to columns.
struct SState
{
    const std::vector<SCsvColumn>* pColumns;
    const CCsvTable::Row* pRow;
    std::vector<std::string>* pUnknown;
    std::string* pError;
    csv_parser* pParser;
    // The parser is fed large pieces and tells no positions: lines are counted from the line
    // ends it reports between and after records and the line breaks inside quoted fields.
    size_t nLine = 1;          // line the parser stands on, as far as its callbacks have told
    size_t nRecordLine = 0;    // line the current record starts on
    size_t nField = 0;         // fields seen of the current record
    size_t nRecordBytes = 0;   // bytes of the current record's fields and separators so far
    bool bHeader = true;
    bool bFailed = false;
    std::vector<size_t> target;          // header field -> requested column, kNoColumn if unknown
    std::vector<std::string> header;
    bool bInPlace = false;
    std::unique_ptr<char[]> arena;       // the record's fields where the parser wrote them
    char* pNext = nullptr;               // where the parser writes the next field
    std::string record;                  // the requested fields, copied, when not in place
    size_t nRecordSize = 0;
    // One per requested column, into the arena or record, or "". A record of the header's field
    // count sets every column the header has, so fields never shows one of an earlier record.
    std::vector<std::string_view> fields;
    std::vector<std::string_view> empty;
    std::string problem;
};

// Tells the parser to write the next field at pAt, in the room left behind it.
void WriteNextAt(SState& s, char* pAt)
{
    s.pNext = pAt;
    s.pParser->entry_buf = reinterpret_cast<unsigned char*>(pAt);
    s.pParser->entry_size = static_cast<size_t>(s.arena.get() + kArenaBytes - pAt);
}

void Trim(const char*& pBegin, size_t& nSize)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (nSize == 0 || (!blank(*pBegin) && !blank(pBegin[nSize - 1])))
        return;
    while (nSize && blank(*pBegin))
        ++pBegin, --nSize;
    while (nSize && blank(pBegin[nSize - 1]))
        --nSize;
}

size_t CountLineFeeds(const char* p, size_t n)
{
    size_t nFeeds = 0;
    for (const void* pAt = p; (pAt = std::memchr(pAt, '\n', static_cast<size_t>(p + n - static_cast<const char*>(pAt)))) != nullptr;)
    {
        ++nFeeds;
        pAt = static_cast<const char*>(pAt) + 1;
    }
    return nFeeds;
}

void FailLongRecord(SState& s, size_t nLine)
{
    s.bFailed = true;
    *s.pError = "line " + std::to_string(nLine) + ": a record longer than " + std::to_string(CCsvTable::kMaxRecordBytes) +
                " bytes (a quoted field that is never closed?)";
}

// Keeps a copy of a requested field in record; the fields copied before move with it.
std::string_view CopyField(SState& s, const char* pText, size_t nSize)
{
    if (nSize > s.record.size() - s.nRecordSize)
    {
        const char* pOld = s.record.data();
        const size_t nOld = s.record.size();
        s.record.resize(std::max(2 * nOld, s.nRecordSize + nSize));
        for (std::string_view& field : s.fields)
        {
            const uintptr_t nAt = reinterpret_cast<uintptr_t>(field.data()) - reinterpret_cast<uintptr_t>(pOld);
            if (nAt <= nOld)
                field = {s.record.data() + nAt, field.size()};
        }
    }
    char* pCopy = s.record.data() + s.nRecordSize;
    std::memcpy(pCopy, pText, nSize);
    s.nRecordSize += nSize;
    return {pCopy, nSize};
}

void OnField(void* pData, size_t nSize, void* pContext)
{
    auto& s = *static_cast<SState*>(pContext);
    if (s.bFailed)
        return;
    const size_t nField = s.nField++;
    if (nField == 0)
        s.nRecordLine = s.nLine;
    s.nRecordBytes += nSize + 1;
    if (s.nRecordBytes > CCsvTable::kMaxRecordBytes)
        return FailLongRecord(s, s.nRecordLine);
    const char* pText = pData ? static_cast<const char*>(pData) : "";
    if (s.bInPlace)
        WriteNextAt(s, s.pNext + nSize);   // line feeds are counted over the whole record
    else
        s.nLine += CountLineFeeds(pText, nSize);
    Trim(pText, nSize);
    if (s.bHeader)
        s.header.emplace_back(pText, nSize);
    else if (nField < s.target.size() && s.target[nField] != kNoColumn)
        s.fields[s.target[nField]] = s.bInPlace ? std::string_view(pText, nSize) : CopyField(s, pText, nSize);
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

// Called at the end of every record and, for lines without one, at every line end.
void OnRecord(int c, void* pContext)
{
    auto& s = *static_cast<SState*>(pContext);
    if (c == '\n')
        ++s.nLine;
    if (s.bFailed || s.nField == 0)
        return;
    if (s.bInPlace)
    {
        s.nLine += CountLineFeeds(s.arena.get(), static_cast<size_t>(s.pNext - s.arena.get()));
        WriteNextAt(s, s.arena.get());
    }
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
    s.nRecordBytes = 0;
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
    unknownColumns.clear();

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        return fail("cannot start the CSV parser");
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> freeParser(&parser, csv_free);
    s.pParser = &parser;
    s.bInPlace = ParserWritesInPlace();
    if (s.bInPlace)
    {
        csv_set_realloc_func(&parser, RefuseGrowth);
        csv_set_free_func(&parser, KeepBuffer);
        s.arena = std::make_unique_for_overwrite<char[]>(kArenaBytes);
        WriteNextAt(s, s.arena.get());
    }
    size_t nAt = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        nAt = 3;
    // Fed in pieces of a MiB, so that progress is shown and a record that never ends is found
    // before the parser has gathered much of it.
    while (nAt < bytes.size() && !s.bFailed)
    {
        const size_t nPiece = std::min(kPiece, bytes.size() - nAt);
        if (csv_parse(&parser, bytes.data() + nAt, nPiece, OnField, OnRecord, &s) != nPiece)
        {
            s.bFailed = true;
            error = "line " + std::to_string(s.nLine) + ": " + csv_strerror(csv_error(&parser));
            break;
        }
        nAt += nPiece;
        if (!s.bFailed && parser.pstate != 0 && s.nRecordBytes + parser.entry_pos > kMaxRecordBytes)
            FailLongRecord(s, s.nField ? s.nRecordLine : s.nLine);
        if (progress && nAt < bytes.size())
            progress(static_cast<double>(nAt) / static_cast<double>(bytes.size()));
    }
    if (!s.bFailed && csv_fini(&parser, OnField, OnRecord, &s) != 0)
    {
        s.bFailed = true;
        error = "line " + std::to_string(s.nField ? s.nRecordLine : s.nLine) + ": a quoted field is never closed";
    }
    if (!s.bFailed && s.bHeader)
        return fail("the file is empty (no header line)");
    if (s.bFailed)
        return fail(error);
    // Files read in one step show no progress at all.
    if (progress && bytes.size() >= kPiece)
        progress(1.0);
    return true;
}
