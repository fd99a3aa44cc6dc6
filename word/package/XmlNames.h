#pragma once
// Namespace-aware names over pugixml, which compares raw "prefix:local"
// strings only. A NamespaceScope follows the xmlns declarations while a
// reader walks down the tree, so elements are told apart by (namespace,
// local name) whatever prefixes a producer chose, and the Transitional and
// Strict URIs of a vocabulary map to the same namespace.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace tarnwick::word {

enum class Ns : std::uint8_t {
    None,  // no namespace (unprefixed attributes, no default declared)
    Unknown,  // a namespace this component does not interpret
    Xml,
    W,  // WordprocessingML main
    R,  // officeDocument relationships (r:id)
    MC,  // markup compatibility
    WP,  // drawing placement in word-processing documents
    Office,  // ODF office:
    Text,  // ODF text:
    Table,  // ODF table:
    Draw,  // ODF draw:
    Manifest,  // ODF package manifest
    Style,  // ODF style: (master pages and their headers and footers)
};

Ns NamespaceOfUri(std::string_view uri);

struct QName {
    Ns ns = Ns::None;
    std::string_view local;
    bool is(Ns n, std::string_view l) const { return ns == n && local == l; }
};

class NamespaceScope {
public:
    // Adds the declarations of `element`; returns the mark to leave() with.
    std::size_t enter(pugi::xml_node element);
    void leave(std::size_t mark) { m_bindings.resize(mark); }

    Ns lookup(std::string_view prefix) const;
    QName nameOf(pugi::xml_node element) const;
    // The attribute (namespace, local) of `element`; empty when absent.
    pugi::xml_attribute attribute(pugi::xml_node element, Ns ns, std::string_view local) const;

private:
    struct Binding {
        std::string_view prefix;
        Ns ns;
    };
    std::vector<Binding> m_bindings;
};

// Enters an element's declarations for the lifetime of the guard.
class ScopeEntry {
public:
    ScopeEntry(NamespaceScope& scope, pugi::xml_node element) : m_scope(scope), m_mark(scope.enter(element)) {}
    ~ScopeEntry() { m_scope.leave(m_mark); }
    ScopeEntry(const ScopeEntry&) = delete;
    ScopeEntry& operator=(const ScopeEntry&) = delete;

private:
    NamespaceScope& m_scope;
    std::size_t m_mark;
};

// The scope in effect at `element` (its own declarations included; for a
// text node, that of its parent).
NamespaceScope ScopeAt(pugi::xml_node element);

// Calls visit(element, name) for the elements below `node` in document
// order, with their namespaces in scope; descends into an element only when
// visit returns true.
template <typename Visit>
void VisitElements(NamespaceScope& scope, pugi::xml_node node, const Visit& visit)
{
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        ScopeEntry entry(scope, child);
        if (visit(child, scope.nameOf(child))) VisitElements(scope, child, visit);
    }
}

// Enters into `scope` the declarations of every element above `node`,
// outermost first, for a reader that starts in the middle of a document.
void EnterAncestors(NamespaceScope& scope, pugi::xml_node node);

// The qualified-name prefix ("w:", or "" for the default namespace) under
// which `ns` is declared at `element`; `fallback` when it is not declared.
std::string PrefixFor(pugi::xml_node element, Ns ns, std::string_view fallback);

// The concatenated character data of an element (PCDATA and CDATA children).
std::string TextOf(pugi::xml_node element);
// Replaces an element's children by one PCDATA node holding `text`.
void SetText(pugi::xml_node element, std::string_view text);

// True when a boolean property element is on (no w:val, or a value other
// than 0/false/off).
bool IsOn(const NamespaceScope& scope, pugi::xml_node property);

}  // namespace tarnwick::word
