#pragma once
// The document engine used while no word-processor component is present:
// every document is reported as one whose automation could not be started,
// and the run goes on.
#include "engine/job/RunContext.h"

namespace tarnwick {

class UnavailableDocumentEngine final : public DocumentEngine {
public:
    void searchDocument(RunContext& run, const std::string& path) override;
    void replaceDocument(RunContext& run, const std::string& path) override;
};

}  // namespace tarnwick
