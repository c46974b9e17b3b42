#include "CsvTable.h"

#include <csv.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "InputFile.h"

namespace
{
constexpr size_t kNoColumn = static_cast<size_t>(-1);
constexpr size_t kPiece = size_t{1} << 20;   // bytes fed to the parser at a time
// What an open record may take: its finished fields (at most kMaxRecordBytes; more fails the file)
// and what one piece of input adds to the field at hand.
constexpr size_t kRecordRoom = CCsvTable::kMaxRecordBytes + kPiece + 64;
// A batch goes to the rows once it holds kBatchRecords records or kBatchBytes of their fields.
constexpr size_t kBatchRecords = 8192;
constexpr size_t kBatchBytes = size_t{512} << 10;
constexpr size_t kBatches = 4;   // batches in use at once: the parser may run three ahead
// Files from this size are parsed on a thread of their own while the caller's thread checks the
// rows, when the machine has a second core.
constexpr size_t kThreadedFileBytes = size_t{256} << 10;

// The parser writes each field into the buffer its state names and hands it over from there.
// The reader names the room behind the fields of its batch: a record's fields then lie side by
// side where the parser wrote them, and rows see them without a copy. The room named is always
// larger than the parser could fill (kRecordRoom); should it ask for more, it asks RefuseGrowth
// and stops with an error.
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

// Records parsed and not yet handed to the rows.
struct SBatch
{
    std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(kBatchBytes + kRecordRoom);   // their fields
    std::vector<std::string_view> fields;   // one per requested column and record, into bytes or ""
    std::vector<size_t> lines;              // the line each record starts on
    std::vector<std::pair<size_t, std::string>> problems;   // record -> why its fields are not given
    size_t nFed = 0;                        // bytes of the file the parser had been fed by then

    void Clear()
    {
        fields.clear();
        lines.clear();
        problems.clear();
    }
};

// Carries batches from the parser to the rows and back. With a thread of its own, the parser
// fills one batch while the rows are checked on the other; otherwise each batch goes to the rows
// as it is filled. The parser's side runs on the parser's thread, the rows' side on the thread
// that reads the file.
class CBatchPipe
{
public:
    CBatchPipe(bool bThreaded, std::function<void(const SBatch&)> deliver) : m_bThreaded(bThreaded), m_deliver(std::move(deliver))
    {
        for (SBatch& batch : m_batches)
            m_free.push_back(&batch);
    }

    // While no parser thread runs: each batch goes to the rows as it is filled.
    void HandOverDirectly() { m_bThreaded = false; }

    // The parser's side: the first batch to fill.
    SBatch* First()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        SBatch* pBatch = m_free.back();
        m_free.pop_back();
        return pBatch;
    }
    // The parser's side: hands a filled batch over and answers an empty one, or null when the
    // rows' side has stopped.
    SBatch* Swap(SBatch* pFilled)
    {
        if (!m_bThreaded)
        {
            m_deliver(*pFilled);
            pFilled->Clear();
            return pFilled;
        }
        std::unique_lock<std::mutex> lock(m_lock);
        m_filled.push_back(pFilled);
        m_changed.notify_all();
        Await(lock, [&] { return m_bStopped || !m_free.empty(); });
        if (m_bStopped)
            return nullptr;
        SBatch* pBatch = m_free.back();
        m_free.pop_back();
        return pBatch;
    }
    // The parser's side: the last batch (null when it has none), after which nothing comes.
    void Finish(SBatch* pLast)
    {
        if (!m_bThreaded)
        {
            if (pLast)
                m_deliver(*pLast);
            return;
        }
        std::lock_guard<std::mutex> guard(m_lock);
        if (pLast)
            m_filled.push_back(pLast);
        m_bFinished = true;
        m_changed.notify_all();
    }

    // The parser's side, between two records: when the rows' side has asked to take the parsing
    // over, hands the batch at hand over and answers true; the parser's thread then ends.
    bool YieldIfAsked(SBatch* pBatch)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_bThreaded || !m_bTakeOver)
            return false;
        m_filled.push_back(pBatch);
        m_bYielded = true;
        m_changed.notify_all();
        return true;
    }

    // The rows' side: hands every batch to the rows in order until the parser has finished (false)
    // or has stopped for this side to go on parsing (true). A parser whose core is slow or shared
    // (as a virtual machine's second core may be) can take longer than parsing and rows on one
    // thread: when the rows have waited for it longer than they worked, this side asks to take
    // the parsing over.
    bool DeliverAll()
    {
        using TClock = std::chrono::steady_clock;
        TClock::duration waited{}, worked{};
        for (size_t nBatches = 0;; ++nBatches)
        {
            SBatch* pBatch;
            {
                const TClock::time_point start = TClock::now();
                std::unique_lock<std::mutex> lock(m_lock);
                if (nBatches >= kBatchesBeforeJudging && waited > worked)
                    m_bTakeOver = true;
                Await(lock, [&] { return m_bFinished || m_bYielded || !m_filled.empty(); });
                if (m_filled.empty())
                    return m_bYielded;
                pBatch = m_filled.front();
                m_filled.erase(m_filled.begin());
                waited += TClock::now() - start;
            }
            const TClock::time_point start = TClock::now();
            m_deliver(*pBatch);
            pBatch->Clear();
            worked += TClock::now() - start;
            std::lock_guard<std::mutex> guard(m_lock);
            m_free.push_back(pBatch);
            m_changed.notify_all();
        }
    }
    // The rows' side: takes nothing more; a parser waiting for a batch stops.
    void Stop()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopped = true;
        m_changed.notify_all();
    }

private:
    static constexpr size_t kBatchesBeforeJudging = 4;
    // A thread that waits for the other one first gives its core away for up to kSpin before it
    // sleeps: waking a thread whose core has gone idle can take a large part of a millisecond on
    // a virtual machine, about what a batch takes.
    static constexpr auto kSpin = std::chrono::milliseconds(1);

    // Waits with the lock held on entry and on return until ready() holds.
    template <class TReady>
    void Await(std::unique_lock<std::mutex>& lock, TReady ready)
    {
        const auto end = std::chrono::steady_clock::now() + kSpin;
        while (!ready() && std::chrono::steady_clock::now() < end)
        {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        m_changed.wait(lock, ready);
    }

    bool m_bThreaded;
    std::function<void(const SBatch&)> m_deliver;
    SBatch m_batches[kBatches];
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<SBatch*> m_free, m_filled;
    bool m_bFinished = false, m_bStopped = false;
    bool m_bTakeOver = false, m_bYielded = false;
};

// The parser's callbacks collect the records into batches; the header record maps names to
// columns. Used on the parser's thread only.
struct SState
{
    const std::vector<SCsvColumn>* pColumns;
    std::vector<std::string>* pUnknown;
    csv_parser* pParser;
    CBatchPipe* pPipe;
    std::string error;
    // The parser is fed large pieces and tells no positions: lines are counted from the line
    // ends it reports between and after records and the line breaks inside quoted fields.
    size_t nLine = 1;          // line the parser stands on, as far as its callbacks have told
    size_t nRecordLine = 0;    // line the current record starts on
    size_t nField = 0;         // fields seen of the current record
    size_t nRecordBytes = 0;   // bytes of the current record's fields and separators so far
    size_t nAt = 0;            // bytes of the file the parser has been given
    size_t nFed = 0;           // the same, counting the piece it is at
    bool bHeader = true;
    bool bFailed = false;
    bool bInPlace = false;
    std::vector<size_t> target;   // header field -> requested column, kNoColumn if unknown
    std::vector<std::string> header;
    SBatch* pBatch = nullptr;     // the batch being filled
    char* pRecord = nullptr;      // where the current record's fields begin in it
    char* pNext = nullptr;        // where the next field goes
};

// Tells the parser to write the next field at pAt, in the room left behind it.
void WriteNextAt(SState& s, char* pAt)
{
    s.pNext = pAt;
    if (!s.bInPlace)
        return;
    s.pParser->entry_buf = reinterpret_cast<unsigned char*>(pAt);
    s.pParser->entry_size = static_cast<size_t>(s.pBatch->bytes.get() + kBatchBytes + kRecordRoom - pAt);
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
    s.error = "line " + std::to_string(nLine) + ": a record longer than " + std::to_string(CCsvTable::kMaxRecordBytes) +
              " bytes (a quoted field that is never closed?)";
}

void OnField(void* pData, size_t nSize, void* pContext)
{
    auto& s = *static_cast<SState*>(pContext);
    if (s.bFailed)
        return;
    const size_t nField = s.nField++;
    if (nField == 0)
    {
        s.nRecordLine = s.nLine;
        if (!s.bHeader)
            s.pBatch->fields.resize(s.pBatch->fields.size() + s.pColumns->size());
    }
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
    {
        if (!s.bInPlace)   // copied behind the record's fields so far
        {
            std::memcpy(s.pNext, pText, nSize);
            pText = s.pNext;
            s.pNext += nSize;
        }
        s.pBatch->fields[s.pBatch->fields.size() - s.pColumns->size() + s.target[nField]] = {pText, nSize};
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
            s.error = "line " + std::to_string(s.nRecordLine) + ": column " + columns[nColumn].pszName + " appears twice in the header";
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
        s.error = "line " + std::to_string(s.nRecordLine) + ": the header lacks the column" + (missing.find(',') == std::string::npos ? " " : "s ") + missing;
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
        s.nLine += CountLineFeeds(s.pRecord, static_cast<size_t>(s.pNext - s.pRecord));
    SBatch& batch = *s.pBatch;
    if (s.bHeader)
    {
        s.bHeader = false;
        s.bFailed = !MapHeader(s);
        s.pNext = s.pRecord;   // the names have been copied
    }
    else
    {
        if (s.nField != s.target.size())
            batch.problems.emplace_back(batch.lines.size(), "expected " + std::to_string(s.target.size()) + " columns, found " + std::to_string(s.nField));
        batch.lines.push_back(s.nRecordLine);
    }
    s.nRecordBytes = 0;
    s.nField = 0;
    if (batch.lines.size() >= kBatchRecords || static_cast<size_t>(s.pNext - batch.bytes.get()) >= kBatchBytes)
    {
        batch.nFed = s.nFed;
        s.pBatch = s.pPipe->Swap(s.pBatch);
        if (!s.pBatch)
        {
            s.bFailed = true;   // the rows' side has stopped: nothing more is read
            return;
        }
        s.pNext = s.pBatch->bytes.get();
    }
    s.pRecord = s.pNext;
    WriteNextAt(s, s.pNext);
}

// Feeds the file to the parser from s.nAt on and hands its records over in batches. On the
// parser's own thread it may stop between two records when the rows' side takes the parsing over.
void Parse(SState& s, const std::string& bytes)
{
    csv_parser& parser = *s.pParser;
    if (!s.pBatch)
    {
        s.pBatch = s.pPipe->First();
        s.pRecord = s.pBatch->bytes.get();
        WriteNextAt(s, s.pRecord);
    }
    // Fed in pieces, so that batches go to the rows as the parser goes and a record that never
    // ends is found before the parser has gathered much of it. A piece ends after a line end where
    // it has one, so that the parser usually stands between records after it.
    while (s.nAt < bytes.size() && !s.bFailed)
    {
        size_t nEnd = std::min(s.nAt + kPiece, bytes.size());
        if (nEnd < bytes.size())
            if (const void* pFeed = memrchr(bytes.data() + s.nAt, '\n', nEnd - s.nAt))
                nEnd = static_cast<size_t>(static_cast<const char*>(pFeed) - bytes.data()) + 1;
        s.nFed = nEnd;
        if (csv_parse(&parser, bytes.data() + s.nAt, nEnd - s.nAt, OnField, OnRecord, &s) != nEnd - s.nAt)
        {
            s.bFailed = true;
            s.error = "line " + std::to_string(s.nLine) + ": " + csv_strerror(csv_error(&parser));
            break;
        }
        s.nAt = nEnd;
        if (!s.bFailed && parser.pstate != 0 && s.nRecordBytes + parser.entry_pos > CCsvTable::kMaxRecordBytes)
            FailLongRecord(s, s.nField ? s.nRecordLine : s.nLine);
        if (!s.bFailed && parser.pstate == 0 && s.nAt < bytes.size() && s.pPipe->YieldIfAsked(s.pBatch))
        {
            s.pBatch = nullptr;
            return;
        }
    }
    if (!s.bFailed && csv_fini(&parser, OnField, OnRecord, &s) != 0)
    {
        s.bFailed = true;
        s.error = "line " + std::to_string(s.nField ? s.nRecordLine : s.nLine) + ": a quoted field is never closed";
    }
    if (s.pBatch)
        s.pPipe->Finish(s.pBatch);
    s.pBatch = nullptr;
}
}

bool CCsvTable::Read(const std::string& path, const std::vector<SCsvColumn>& columns, const Row& row, std::vector<std::string>& unknownColumns,
                     std::string* pError, const Progress& progress)
{
    std::string bytes;
    std::string error;
    auto fail = [&](const std::string& why) {
        if (pError)
            *pError = why;
        return false;
    };
    if (!WoxReadFile(path, kMaxFileBytes, bytes, &error))
        return fail(error);
    unknownColumns.clear();

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        return fail("cannot start the CSV parser");
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> freeParser(&parser, csv_free);
    SState s;
    s.pColumns = &columns;
    s.pUnknown = &unknownColumns;
    s.pParser = &parser;
    s.nAt = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    s.bInPlace = ParserWritesInPlace();
    if (s.bInPlace)
    {
        csv_set_realloc_func(&parser, RefuseGrowth);
        csv_set_free_func(&parser, KeepBuffer);
    }

    // Rows are handed over on this thread, with progress about every piece of the file.
    std::vector<std::string_view> fields;
    const std::vector<std::string_view> none;
    size_t nReported = 0;
    auto deliver = [&](const SBatch& batch) {
        const size_t nColumns = columns.size();
        auto problem = batch.problems.begin();
        for (size_t i = 0; i < batch.lines.size(); ++i)
            if (problem != batch.problems.end() && problem->first == i)
                row(batch.lines[i], none, (problem++)->second.c_str());
            else
            {
                fields.assign(batch.fields.begin() + static_cast<ptrdiff_t>(i * nColumns), batch.fields.begin() + static_cast<ptrdiff_t>((i + 1) * nColumns));
                row(batch.lines[i], fields, nullptr);
            }
        if (progress && batch.nFed >= nReported + kPiece && batch.nFed < bytes.size())
        {
            progress(static_cast<double>(batch.nFed) / static_cast<double>(bytes.size()));
            nReported = batch.nFed;
        }
    };
    const bool bThreaded = bytes.size() >= kThreadedFileBytes && std::thread::hardware_concurrency() > 1;
    CBatchPipe pipe(bThreaded, deliver);
    s.pPipe = &pipe;
    std::thread parserThread;
    if (bThreaded)
        try
        {
            parserThread = std::thread([&] {
                try
                {
                    Parse(s, bytes);
                }
                catch (...)
                {
                    s.bFailed = true;
                    s.error = "not enough memory to read the file";
                    pipe.Finish(nullptr);
                }
            });
        }
        catch (const std::system_error&)
        {
            pipe.HandOverDirectly();   // no thread to be had: each batch goes over as it is filled
        }
    const bool bParserThread = parserThread.joinable();
    bool bTakenOver = false;
    if (bParserThread)
    {
        // The parser is stopped and waited for however the rows end.
        struct SJoin
        {
            CBatchPipe& pipe;
            std::thread& thread;
            ~SJoin()
            {
                pipe.Stop();
                thread.join();
            }
        } join{pipe, parserThread};
        bTakenOver = pipe.DeliverAll();
    }
    if (bTakenOver)
        pipe.HandOverDirectly();
    if (!bParserThread || bTakenOver)
        Parse(s, bytes);
    if (!s.bFailed && s.bHeader)
        return fail("the file is empty (no header line)");
    if (s.bFailed)
        return fail(s.error);
    // Files read in one step show no progress at all.
    if (progress && bytes.size() >= kPiece)
        progress(1.0);
    return true;
}
