#pragma once
// Reads a CSV file as foresters' tools write it: RFC 4180 quoting (fields in double quotes may
// hold commas, doubled quotes and line breaks), an optional UTF-8 byte-order mark, LF or CRLF
// line ends, blank lines skipped. The first record is the header; its names are matched to the
// columns a reader asks for without regard to case or order, and columns nobody asked for are
// reported by name. Parsing is done by libcsv; this class adds line numbers and the header.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct SCsvColumn
{
    const char* pszName;   // lower case
    bool bRequired;
};

class CCsvTable
{
public:
    static constexpr size_t kMaxFileBytes = size_t{1} << 30;
    static constexpr size_t kMaxRecordBytes = size_t{1} << 16;   // one record's fields and separators

    // Called for every record after the header: the line it starts on and its fields, one per
    // requested column in the order of the request ("" where the column is absent), spaces around
    // unquoted text removed. The fields point into the reader's record buffer and last only for
    // the call: a row handler copies what it keeps. A record whose field count differs from the
    // header's comes with that problem in pszProblem (and fields empty); otherwise pszProblem is
    // null.
    using Row = std::function<void(size_t nLine, const std::vector<std::string_view>& fields, const char* pszProblem)>;
    // Called with the share of the file read so far (0..1), about every MiB.
    using Progress = std::function<void(double dShare)>;

    // False with one line in *pError when the file cannot be read, has no header, lacks a
    // required column or names one twice, or breaks off inside a quoted field (rows before the
    // break have been delivered). unknownColumns receives the header names nobody asked for.
    static bool Read(const std::string& path, const std::vector<SCsvColumn>& columns, const Row& row,
                     std::vector<std::string>& unknownColumns, std::string* pError, const Progress& progress = {});

};
