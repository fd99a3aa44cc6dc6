#include "engine/replace/LineDiff.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace tarnwick {
namespace {

// Finds an edit script between the line ids a and b by splitting each box
// at a middle snake, so memory stays linear in the number of lines.
class Myers {
public:
    Myers(const std::vector<int>& a, const std::vector<int>& b)
        : m_a(a), m_b(b), m_removed(a.size(), false), m_added(b.size(), false)
    {
        // The search costs about (lines) x (edits); beyond a budget a box is
        // given up as one block, a longer diff that is still right, so a huge
        // file where every line changed does not take hours.
        const auto lines = static_cast<long>(a.size() + b.size()) + 1;
        m_maxEdits = std::max<long>(64, 200'000'000 / lines);
        compare(0, 0, static_cast<long>(a.size()), static_cast<long>(b.size()));
    }
    const std::vector<bool>& removed() const { return m_removed; }
    const std::vector<bool>& added() const { return m_added; }

private:
    struct Snake {
        long x0, y0, x1, y1;
    };

    bool equal(long x, long y) const { return m_a[static_cast<std::size_t>(x)] == m_b[static_cast<std::size_t>(y)]; }

    void compare(long left, long top, long right, long bottom)
    {
        while (left < right && top < bottom && equal(left, top)) ++left, ++top;
        while (left < right && top < bottom && equal(right - 1, bottom - 1)) --right, --bottom;
        if (left == right) {
            for (long y = top; y < bottom; ++y) m_added[static_cast<std::size_t>(y)] = true;
            return;
        }
        if (top == bottom) {
            for (long x = left; x < right; ++x) m_removed[static_cast<std::size_t>(x)] = true;
            return;
        }
        // Both sides differ at their ends, so the snake holds one edit and
        // both boxes left over are smaller.
        const std::optional<FoundSnake> found = middleSnake(left, top, right, bottom);
        if (!found) {
            for (long x = left; x < right; ++x) m_removed[static_cast<std::size_t>(x)] = true;
            for (long y = top; y < bottom; ++y) m_added[static_cast<std::size_t>(y)] = true;
            return;
        }
        const FoundSnake& s = *found;
        compare(left, top, s.x0, s.y0);
        const long dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        if (s.forward) {
            if (dx > dy) m_removed[static_cast<std::size_t>(s.x0)] = true;
            if (dy > dx) m_added[static_cast<std::size_t>(s.y0)] = true;
        } else {
            if (dx > dy) m_removed[static_cast<std::size_t>(s.x1 - 1)] = true;
            if (dy > dx) m_added[static_cast<std::size_t>(s.y1 - 1)] = true;
        }
        compare(s.x1, s.y1, right, bottom);
    }

    struct FoundSnake : Snake {
        bool forward;
    };

    std::optional<FoundSnake> middleSnake(long left, long top, long right, long bottom)
    {
        const long width = right - left, height = bottom - top, delta = width - height;
        const long max = std::min((width + height + 1) / 2, m_maxEdits);
        const long offset = max + 1;
        m_forward.assign(static_cast<std::size_t>(2 * max + 3), 0);
        m_backward.assign(static_cast<std::size_t>(2 * max + 3), 0);
        auto vf = [&](long k) -> long& { return m_forward[static_cast<std::size_t>(k + offset)]; };
        auto vb = [&](long c) -> long& { return m_backward[static_cast<std::size_t>(c + offset)]; };
        vf(1) = left;
        vb(1) = bottom;
        for (long d = 0; d <= max; ++d) {
            for (long k = d; k >= -d; k -= 2) {
                long x, px;
                if (k == -d || (k != d && vf(k - 1) < vf(k + 1)))
                    px = x = vf(k + 1);
                else
                    px = vf(k - 1), x = px + 1;
                long y = top + (x - left) - k;
                const long py = (d == 0 || x != px) ? y : y - 1;
                while (x < right && y < bottom && equal(x, y)) ++x, ++y;
                vf(k) = x;
                const long c = k - delta;
                if ((delta & 1) != 0 && c >= -(d - 1) && c <= d - 1 && y >= vb(c)) return FoundSnake{{px, py, x, y}, true};
            }
            for (long c = d; c >= -d; c -= 2) {
                long y, py;
                if (c == -d || (c != d && vb(c - 1) > vb(c + 1)))
                    py = y = vb(c + 1);
                else
                    py = vb(c - 1), y = py - 1;
                const long k = c + delta;
                long x = left + (y - top) + k;
                const long px = (d == 0 || y != py) ? x : x + 1;
                while (x > left && y > top && equal(x - 1, y - 1)) --x, --y;
                vb(c) = y;
                if ((delta & 1) == 0 && k >= -d && k <= d && x <= vf(k)) return FoundSnake{{x, y, px, py}, false};
            }
        }
        return std::nullopt;  // over the budget
    }

    const std::vector<int>& m_a;
    const std::vector<int>& m_b;
    std::vector<bool> m_removed, m_added;
    std::vector<long> m_forward, m_backward;
    long m_maxEdits = 0;
};

void appendRange(std::string& out, std::size_t begin, std::size_t length)
{
    // Git's form: an empty range names the line before it, a count of 1 is left out.
    out += std::to_string(length == 0 ? begin : begin + 1);
    if (length != 1) out += "," + std::to_string(length);
}

void appendLine(std::string& out, char mark, std::string_view line)
{
    out.push_back(mark);
    out.append(line);
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

std::vector<DiffBlock> DiffLines(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after)
{
    // Lines are compared by number: equal lines get the same one.
    std::unordered_map<std::string_view, int> ids;
    auto idsOf = [&](const std::vector<std::string_view>& lines) {
        std::vector<int> out;
        out.reserve(lines.size());
        for (std::string_view line : lines) out.push_back(ids.emplace(line, static_cast<int>(ids.size())).first->second);
        return out;
    };
    const std::vector<int> a = idsOf(before), b = idsOf(after);
    const Myers script(a, b);
    std::vector<DiffBlock> blocks;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && !script.removed()[i] && !script.added()[j]) {
            ++i, ++j;
            continue;
        }
        const DiffBlock block{i, i, j, j};
        while (i < a.size() && script.removed()[i]) ++i;
        while (j < b.size() && script.added()[j]) ++j;
        if (i == block.beforeBegin && j == block.afterBegin) break;  // an inconsistent script; not expected
        blocks.push_back({block.beforeBegin, i, block.afterBegin, j});
    }
    return blocks;
}

void AppendUnifiedHunks(std::string_view before, std::string_view after, std::size_t context, std::string& out)
{
    const std::vector<std::string_view> a = SplitLines(before), b = SplitLines(after);
    const std::vector<DiffBlock> blocks = DiffLines(a, b);
    for (std::size_t first = 0; first < blocks.size();) {
        // Blocks closer than twice the context share one hunk.
        std::size_t last = first;
        while (last + 1 < blocks.size() && blocks[last + 1].beforeBegin - blocks[last].beforeEnd <= 2 * context) ++last;
        const std::size_t lead = std::min(context, blocks[first].beforeBegin);
        const std::size_t trail = std::min(context, a.size() - blocks[last].beforeEnd);
        const std::size_t aStart = blocks[first].beforeBegin - lead, aEnd = blocks[last].beforeEnd + trail;
        const std::size_t bStart = blocks[first].afterBegin - lead, bEnd = blocks[last].afterEnd + trail;
        out += "@@ -";
        appendRange(out, aStart, aEnd - aStart);
        out += " +";
        appendRange(out, bStart, bEnd - bStart);
        out += " @@\n";
        std::size_t i = aStart;
        for (std::size_t n = first; n <= last; ++n) {
            for (; i < blocks[n].beforeBegin; ++i) appendLine(out, ' ', a[i]);
            for (; i < blocks[n].beforeEnd; ++i) appendLine(out, '-', a[i]);
            for (std::size_t j = blocks[n].afterBegin; j < blocks[n].afterEnd; ++j) appendLine(out, '+', b[j]);
        }
        for (; i < aEnd; ++i) appendLine(out, ' ', a[i]);
        first = last + 1;
    }
}

}  // namespace tarnwick
