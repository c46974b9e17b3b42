#pragma once
// Fixed-width 8-bit text fields: bounded copies that zero-fill the field (a value of exactly the
// field's width carries no terminator) and comparisons over the field width. Nothing here reads
// past a field.

#include <cstddef>
#include <cstring>

// Length of the text in a field of nWidth bytes (nWidth when it has no terminator).
inline size_t WoxTextLength(const char* pField, size_t nWidth)
{
    // Reads up to the terminator only, so a short zero-terminated source is never read past.
    size_t n = 0;
    while (n < nWidth && pField[n] != 0)
        ++n;
    return n;
}

// Copies at most nWidth characters of pszSource into the field and zero-fills the rest.
// pszSource may itself be a field of at least nWidth bytes without a terminator.
inline void WoxCopyText(char* pField, size_t nWidth, const char* pszSource)
{
    size_t n = pszSource ? WoxTextLength(pszSource, nWidth) : 0;
    std::memmove(pField, pszSource ? pszSource : "", n);
    std::memset(pField + n, 0, nWidth - n);
}

// Copies a field into a C string buffer of nBuffer bytes (nBuffer > nWidth keeps a terminator).
inline void WoxFieldToString(char* pszBuffer, size_t nBuffer, const char* pField, size_t nWidth)
{
    if (nBuffer == 0)
        return;
    size_t n = WoxTextLength(pField, nWidth < nBuffer - 1 ? nWidth : nBuffer - 1);
    std::memcpy(pszBuffer, pField, n);
    pszBuffer[n] = 0;
}

// Compares two texts as zero-terminated strings within nWidth characters (strncmp semantics).
inline int WoxCompareText(const char* a, const char* b, size_t nWidth)
{
    return std::strncmp(a, b, nWidth);
}

template <size_t N>
inline void WoxCopyText(char (&field)[N], const char* pszSource) { WoxCopyText(field, N, pszSource); }

template <size_t N>
inline size_t WoxTextLength(const char (&field)[N]) { return WoxTextLength(field, N); }
