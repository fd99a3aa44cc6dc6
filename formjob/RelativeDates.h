#pragma once
// "in den letzten N Tagen/Stunden": a date range that ends at the moment a
// run starts. The form and `tarnwick-cli --changed-within` both turn it into
// the job's absolute range when the run starts, so a stored search always
// means the last N days before the run, never before the day it was saved.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/job/SearchJob.h"
#include "settings/FormState.h"

namespace tarnwick::session {

// The stored numbers of `Datum relativ Einheit`.
enum class RelativeUnit : std::uint32_t { Days = 0, Hours = 1 };

struct RelativeSpan {
    std::uint32_t count = 7;
    RelativeUnit unit = RelativeUnit::Days;

    bool operator==(const RelativeSpan&) const = default;
};

// The longest span either front end takes: enough for any file's dates, far
// from overflowing the seconds of the range.
inline constexpr std::uint32_t kMaxRelativeCount = 99'999;

std::int64_t SpanSeconds(RelativeSpan span);

// The span the form holds (a stored unit other than hours reads as days; a
// count out of range is brought into it).
RelativeSpan FormRelativeSpan(const settings::FormState& form);

// "7d" or "12h": digits, then the unit; nothing for any other text, a count
// of 0 or one above kMaxRelativeCount.
std::optional<RelativeSpan> ParseRelativeSpan(const std::string& text);
// The text ParseRelativeSpan reads back.
std::string RelativeSpanText(RelativeSpan span);

// The range of a run started at `now`: from `now` minus the span, with no
// upper bound, so a file changed while the run goes on still counts.
void ApplyRelativeSpan(RelativeSpan span, std::int64_t now, SearchJob& job);

// The job of a run started at `now`: JobFromFormState with the form's
// absolute range, or the relative one when the form chose it.
SearchJob JobForRun(const settings::FormState& form, std::int64_t dateFrom, std::int64_t dateTo, std::int64_t now);

}  // namespace tarnwick::session
