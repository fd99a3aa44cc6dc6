#pragma once
// Decoding of the bytes an RTF document writes as \'hh (or as plain 8-bit
// text) in a Windows code page, built once per code page through iconv.
// Tables are immutable once built and shared; get() is thread-safe.
#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwick::word {

class RtfCodePage {
public:
    // The decoder for a Windows code page number; an unknown one, or one
    // iconv cannot read, decodes as 1252.
    static const RtfCodePage& get(int codePage);

    // The code page of a font's \fcharsetN, or -1 when the charset defers to
    // the document's \ansicpg.
    static int forCharset(int charset);
    // True for the charsets of the East Asian double-byte code pages.
    static bool isDoubleByteCharset(int charset);

    int number() const { return m_number; }
    bool isDoubleByte() const { return !m_pairs.empty(); }
    bool isLeadByte(unsigned char byte) const { return m_lead[byte]; }
    char16_t single(unsigned char byte) const { return m_single[byte]; }
    char16_t pair(unsigned char lead, unsigned char trail) const;

private:
    explicit RtfCodePage(int number);

    int m_number;
    char16_t m_single[256] = {};
    bool m_lead[256] = {};
    std::vector<char16_t> m_pairs;  // lead * 256 + trail, double-byte code pages only
};

}  // namespace tarnwick::word
