#include "word/odt/OdtStories.h"

#include <string_view>

#include "word/package/XmlNames.h"

namespace tarnwick::word {
namespace {

// Whether a shape holds its paragraphs itself (a text box drawn as a shape).
bool holdsParagraphs(NamespaceScope& scope, pugi::xml_node shape)
{
    for (const pugi::xml_node c : shape.children()) {
        if (c.type() != pugi::node_element) continue;
        ScopeEntry entry(scope, c);
        const QName name = scope.nameOf(c);
        if (name.is(Ns::Text, "p") || name.is(Ns::Text, "h") || name.is(Ns::Text, "list")) return true;
    }
    return false;
}

void visitStoriesBelow(NamespaceScope& scope, pugi::xml_node node, const OdtStoryVisitor& visit)
{
    VisitElements(scope, node, [&](pugi::xml_node element, QName name) {
        if (name.is(Ns::Text, "tracked-changes")) return false;
        if (name.is(Ns::Text, "note")) return true;  // only its body holds a story
        if (name.is(Ns::Text, "note-body") && scope.nameOf(element.parent()).is(Ns::Text, "note")) {
            const bool endnote = std::string_view(scope.attribute(element.parent(), Ns::Text, "note-class").value()) == "endnote";
            visit(endnote ? StoryKind::Endnote : StoryKind::Footnote, element);
        } else if (name.is(Ns::Office, "annotation")) {
            visit(StoryKind::Comment, element);
        } else if (name.is(Ns::Draw, "text-box") || (name.ns == Ns::Draw && holdsParagraphs(scope, element))) {
            visit(StoryKind::TextBox, element);
        }
        return true;
    });
}

}  // namespace

void FindOdtBodyStories(pugi::xml_node node, const OdtStoryVisitor& visit)
{
    NamespaceScope scope;
    EnterAncestors(scope, node);
    ScopeEntry entry(scope, node);
    visitStoriesBelow(scope, node, visit);
}

void FindOdtMasterPageStories(pugi::xml_node stylesRoot, const OdtStoryVisitor& visit)
{
    NamespaceScope scope;
    EnterAncestors(scope, stylesRoot);
    ScopeEntry rootEntry(scope, stylesRoot);
    VisitElements(scope, stylesRoot, [&](pugi::xml_node node, QName name) {
        if (node.parent() == stylesRoot) return name.is(Ns::Office, "master-styles");
        if (node.parent().parent() == stylesRoot) return true;  // a master page
        if (name.ns != Ns::Style || name.local.find("-style") != std::string_view::npos) return false;
        if (name.local.substr(0, 6) == "header")
            visit(StoryKind::Header, node);
        else if (name.local.substr(0, 6) == "footer")
            visit(StoryKind::Footer, node);
        else
            return false;
        visitStoriesBelow(scope, node, visit);
        return false;
    });
}

}  // namespace tarnwick::word
