#pragma once
// Finding the parts of an Office Open XML package: the main part the package
// relationships name, and the parts the main part's relationships point at.
// Throw ServerError (kErrorDamaged) for a part that is missing or not XML.
#include <string>
#include <string_view>
#include <vector>

#include "word/package/PackageRelationships.h"
#include "word/package/XmlPart.h"
#include "word/package/ZipPackage.h"

namespace tarnwick::inside {

class OoxmlParts {
public:
    explicit OoxmlParts(const word::ZipPackage& package);

    // The part of the package's officeDocument relationship ("xl/workbook.xml").
    const std::string& mainPart() const { return m_mainPart; }
    void load(word::XmlPart& part, const std::string& name) const;
    // The same for a part that may be missing: false when it is.
    bool loadIfPresent(word::XmlPart& part, const std::string& name) const;
    // Where the main part's relationship `id` points; empty when nowhere.
    std::string target(std::string_view id) const;
    // The first part the main part relates to with a type ending in `typeSuffix`.
    std::string targetOfType(std::string_view typeSuffix) const;

private:
    const word::ZipPackage& m_package;
    std::string m_mainPart;
    std::vector<word::Relationship> m_relationships;
};

}  // namespace tarnwick::inside
