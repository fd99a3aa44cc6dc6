#include "formjob/RelativeDates.h"

#include <algorithm>
#include <limits>

#include "formjob/FormJob.h"

namespace tarnwick::session {

std::int64_t SpanSeconds(RelativeSpan span)
{
    const std::int64_t unit = span.unit == RelativeUnit::Hours ? 3'600 : 86'400;
    return static_cast<std::int64_t>(span.count) * unit;
}

RelativeSpan FormRelativeSpan(const settings::FormState& form)
{
    RelativeSpan span;
    span.count = std::clamp<std::uint32_t>(form.dateRelativeCount, 1, kMaxRelativeCount);
    span.unit =
        form.dateRelativeUnit == static_cast<std::uint32_t>(RelativeUnit::Hours) ? RelativeUnit::Hours : RelativeUnit::Days;
    return span;
}

std::optional<RelativeSpan> ParseRelativeSpan(const std::string& text)
{
    if (text.size() < 2 || text.size() > 6) return std::nullopt;
    RelativeSpan span;
    const char unit = text.back();
    if (unit == 'd')
        span.unit = RelativeUnit::Days;
    else if (unit == 'h')
        span.unit = RelativeUnit::Hours;
    else
        return std::nullopt;
    std::uint32_t count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        count = count * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (count == 0 || count > kMaxRelativeCount) return std::nullopt;
    span.count = count;
    return span;
}

std::string RelativeSpanText(RelativeSpan span)
{
    return std::to_string(span.count) + (span.unit == RelativeUnit::Hours ? "h" : "d");
}

void ApplyRelativeSpan(RelativeSpan span, std::int64_t now, SearchJob& job)
{
    job.dateFrom = now - SpanSeconds(span);
    job.dateTo = std::numeric_limits<std::int64_t>::max();
}

SearchJob JobForRun(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo, std::int64_t now)
{
    SearchJob job = JobFromFormState(form, dateFrom, dateTo);
    if (form.dateRelative != 0) ApplyRelativeSpan(FormRelativeSpan(form), now, job);
    return job;
}

}  // namespace tarnwick::session
