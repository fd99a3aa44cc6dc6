#pragma once
// The decisions of "Ausdruck testen", without widgets: which of the form's
// texts and options the tester holds, when an option can be changed, what
// the engine makes of the sample (ExpressionTrial), which hit lies at the
// cursor, and what "Übernehmen" writes into the form. Texts are bytes of
// the code page, positions bytes of the sample, as in a run.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/job/SearchJob.h"
#include "engine/replace/ExpressionTrial.h"
#include "settings/FormState.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

// One option of the tester: the check box's text, the form's field it
// edits, and when it can be changed (as in the form). A further option of
// the form that changes what a run finds or writes is one more row.
struct TesterOption {
    const char* text;  // UTF-8
    std::int32_t settings::FormState::*field;
    bool (*enabled)(const settings::FormState& values);  // null: always
};
// In the order the dialog shows them.
const std::vector<TesterOption>& TesterOptions();

class ExpressionTesterLogic {
public:
    // Starts from the form's texts and options.
    ExpressionTesterLogic(const settings::FormState& form, const CodePage& codePage);

    const std::string& searchText() const { return m_values.searchTexts.text; }
    const std::string& replaceText() const { return m_values.replaceTexts.text; }
    const std::string& sample() const { return m_sample; }
    void setSearchText(const std::string& text);
    void setReplaceText(const std::string& text);
    void setSample(const std::string& text);

    // By index into TesterOptions().
    bool option(std::size_t index) const;
    bool isOptionEnabled(std::size_t index) const;
    void setOption(std::size_t index, bool on);

    // What a run makes of the sample with the current texts and options.
    const ExpressionTrial& trial() const { return m_trial; }
    // The job the trial ran with.
    const SearchJob& job() const { return m_job; }
    // The hit at byte `cursor` of the sample: the one it lies in, or the one
    // that ends at it; the later one where two touch. -1: none.
    int matchAt(std::int64_t cursor) const;
    // The line above the sample: how many hits there are.
    std::string matchCountText() const;

    // "Übernehmen": the texts and every option into the form's fields.
    void applyTo(settings::FormState& form) const;

private:
    void evaluate();

    const CodePage& m_codePage;
    settings::FormState m_values;
    std::string m_sample;
    SearchJob m_job;
    ExpressionTrial m_trial;
};

// Where the tester's sample comes from. `viewerSelection`: the viewer's
// selected text (code page), `hitLine`: the line of the hit selected in the
// result list with the cursor at the hit. The viewer's selection comes
// first while the page "Vorschau" is shown, the hit first otherwise.
struct TesterSample {
    std::string text;
    std::int64_t cursor = 0;  // bytes
};
TesterSample ChooseSample(bool previewShown, const std::string& viewerSelection, const TesterSample& hitLine);

}  // namespace tarnwick::ui
