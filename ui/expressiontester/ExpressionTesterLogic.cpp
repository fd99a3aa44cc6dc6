#include "ui/expressiontester/ExpressionTesterLogic.h"

#include "formjob/FormJob.h"
#include "ui/expressiontester/ExpressionTesterTexts.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

namespace T = text::tester;
using settings::FormState;

// The form's own enabling rules: whole words apply to plain text only,
// references to an expression only.
bool PlainTextOnly(const FormState& values) { return values.regularExpression == 0; }
bool ExpressionOnly(const FormState& values) { return values.regularExpression != 0; }

}  // namespace

const std::vector<TesterOption>& TesterOptions()
{
    static const std::vector<TesterOption> options = {
        {formtext::kMatchCase, &FormState::matchCase, nullptr},
        {formtext::kWholeWords, &FormState::wholeWords, PlainTextOnly},
        {formtext::kRegularExpression, &FormState::regularExpression, nullptr},
        {formtext::kReplacementCaptures, &FormState::replacementCaptures, ExpressionOnly},
        {formtext::kPreserveCase, &FormState::preserveCase, nullptr},
        {formtext::kSpecialCharacters, &FormState::specialCharacters, nullptr},
    };
    return options;
}

ExpressionTesterLogic::ExpressionTesterLogic(const settings::FormState& form, const CodePage& codePage)
    : m_codePage(codePage), m_values(form)
{
    evaluate();
}

void ExpressionTesterLogic::setSearchText(const std::string& text)
{
    m_values.searchTexts.text = text;
    evaluate();
}

void ExpressionTesterLogic::setReplaceText(const std::string& text)
{
    m_values.replaceTexts.text = text;
    evaluate();
}

void ExpressionTesterLogic::setSample(const std::string& text)
{
    m_sample = text;
    evaluate();
}

bool ExpressionTesterLogic::option(std::size_t index) const
{
    return index < TesterOptions().size() && m_values.*TesterOptions()[index].field != 0;
}

bool ExpressionTesterLogic::isOptionEnabled(std::size_t index) const
{
    if (index >= TesterOptions().size()) return false;
    const TesterOption& entry = TesterOptions()[index];
    return entry.enabled == nullptr || entry.enabled(m_values);
}

void ExpressionTesterLogic::setOption(std::size_t index, bool on)
{
    if (index >= TesterOptions().size()) return;
    m_values.*TesterOptions()[index].field = on ? 1 : 0;
    evaluate();
}

void ExpressionTesterLogic::evaluate()
{
    // The job a run of the form would get; the date range plays no part here.
    m_job = session::JobFromFormState(m_values, 0, 0);
    m_trial = TryExpression(searchText(), replaceText(), m_job, m_sample, m_codePage);
}

int ExpressionTesterLogic::matchAt(std::int64_t cursor) const
{
    int found = -1;
    for (std::size_t i = 0; i < m_trial.matches.size(); ++i) {
        const TrialMatch& match = m_trial.matches[i];
        if (match.position > cursor) break;
        if (cursor <= match.position + match.length) found = static_cast<int>(i);
    }
    return found;
}

std::string ExpressionTesterLogic::matchCountText() const
{
    const std::size_t count = m_trial.matches.size();
    if (count == 0) return T::kNoMatch;
    return std::to_string(count) + T::kMatches;
}

void ExpressionTesterLogic::applyTo(settings::FormState& form) const
{
    form.searchTexts.text = searchText();
    form.replaceTexts.text = replaceText();
    for (const TesterOption& entry : TesterOptions()) form.*entry.field = m_values.*entry.field;
}

TesterSample ChooseSample(bool previewShown, const std::string& viewerSelection, const TesterSample& hitLine)
{
    const TesterSample selection{viewerSelection, 0};
    const TesterSample& first = previewShown ? selection : hitLine;
    const TesterSample& second = previewShown ? hitLine : selection;
    return first.text.empty() ? second : first;
}

}  // namespace tarnwick::ui
