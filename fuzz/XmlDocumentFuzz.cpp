// Two checks of CXmlDocument on arbitrary bytes:
// 1. the bytes as a document text: parsing and every read accessor must hold
//    up, whatever the text;
// 2. the bytes as a program of building operations: every value set reads
//    back as it was set, whatever its bytes; the document holds nothing XML
//    cannot; it must parse again, and the parsed copy must read back exactly
//    what the built one reads through its own element table.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "results/XmlCharacters.h"
#include "results/XmlDocument.h"

using tarnwick::CXmlDocument;

namespace {

constexpr std::string_view kNames[] = {"A", "B", "Cc", "d-1"};
constexpr std::string_view kAttributes[] = {"k", "kk", "v"};

// Fixed, so that a finding does not depend on the locale it ran in.
const tarnwick::CodePage& utf8()
{
    static const tarnwick::CodePage page("UTF-8");
    return page;
}

// Reads the fuzz input piece by piece; zeros once it is used up.
class Input {
public:
    explicit Input(std::string_view bytes) : m_bytes(bytes) {}
    bool empty() const { return m_pos >= m_bytes.size(); }
    unsigned byte() { return empty() ? 0u : static_cast<unsigned char>(m_bytes[m_pos++]); }
    std::string text()
    {
        const std::size_t wanted = byte() % 16;
        if (empty()) return {};
        const std::size_t length = std::min(wanted, m_bytes.size() - m_pos);
        std::string out(m_bytes.substr(m_pos, length));
        m_pos += length;
        return out;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// Everything the accessors say about the element at the cursor and below it.
void dump(CXmlDocument& doc, std::string& out, int depth)
{
    const int element = doc.CurrentElement();
    out += '<';
    out += doc.GetElementName();
    for (std::string_view attribute : kAttributes) {
        out += ' ';
        out += doc.GetAttribute(element, attribute);
    }
    out += '|';
    out += doc.GetElementText(element);
    if (depth < 200 && doc.EnterElement()) {
        if (doc.CurrentElement() != 0) {
            do dump(doc, out, depth + 1);
            while (doc.FindElement());
        }
        doc.LeaveElement();
    }
    out += '>';
}

void readEverything(CXmlDocument& doc, Input& input)
{
    // Walk with the cursor, poking at accessors with arbitrary indices.
    for (int step = 0; step < 256 && !input.empty(); ++step) {
        const unsigned op = input.byte();
        const int index = static_cast<int>(input.byte() % 64);
        switch (op % 8) {
        case 0: doc.FindElement(); break;
        case 1: doc.FindElement(kNames[op / 8 % 4]); break;
        case 2: doc.EnterElement(); break;
        case 3: doc.LeaveElement(); break;
        case 4: doc.FindChildElement(); break;
        case 5: (void)doc.GetAttribute(index, kAttributes[op / 8 % 3]); break;
        case 6: (void)doc.GetElementText(index); break;
        case 7: (void)doc.GetElementName(); break;
        }
    }
}

void build(CXmlDocument& doc, Input& input)
{
    int added = 0;
    for (int step = 0; step < 512 && !input.empty(); ++step) {
        const unsigned op = input.byte();
        switch (op % 8) {
        case 0:
        case 1: {
            const std::string text = input.text();
            const bool asChild = op % 8 == 1;
            if (!doc.AddElement(kNames[op / 8 % 4], text, asChild)) break;
            ++added;
            if (doc.GetElementText(asChild ? doc.CurrentChild() : doc.CurrentElement()) != text) std::abort();
            break;
        }
        case 2: doc.EnterElement(); break;
        case 3: doc.LeaveElement(); break;
        case 4:
        case 5: {
            // Mostly the current element; sometimes any index, valid or not.
            const int index = op % 8 == 4 ? doc.CurrentElement() : static_cast<int>(input.byte() % (added + 3));
            const std::string value = input.text();
            const std::string_view name = kAttributes[op / 8 % 3];
            if (doc.SetAttribute(index, name, value) && doc.GetAttribute(index, name) != value) std::abort();
            break;
        }
        case 6: doc.FindElement(op / 8 % 2 ? kNames[op / 16 % 4] : std::string_view()); break;
        case 7: doc.FindChildElement(op / 8 % 2 ? kNames[op / 16 % 4] : std::string_view()); break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CXmlDocument parsed(utf8());
    const bool ok = parsed.SetDocumentText(bytes);
    if (parsed.GetDocumentText() != bytes) std::abort();
    if (ok && !parsed.GetLastError().empty()) std::abort();
    Input readInput(bytes);
    readEverything(parsed, readInput);

    CXmlDocument built(utf8());
    Input buildInput(bytes);
    build(built, buildInput);
    while (built.LeaveElement()) {}
    if (!tarnwick::XmlCharacters(utf8()).canHold(built.GetDocumentText())) std::abort();
    const bool hasRoot = built.CurrentElement() != 0 || built.FindElement();
    CXmlDocument copy(utf8());
    const bool reparsed = copy.SetDocumentText(built.GetDocumentText());
    if (reparsed != hasRoot) std::abort();
    if (!hasRoot) return 0;
    std::string original;
    std::string again;
    dump(built, original, 0);
    if (!copy.FindElement()) std::abort();
    dump(copy, again, 0);
    if (original != again) std::abort();
    return 0;
}
