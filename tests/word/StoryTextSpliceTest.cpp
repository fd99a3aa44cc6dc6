// Splicing pieces into a story: after any sequence of splices and reads
// (which move the gaps of the story's buffers about), the story must
// present exactly what a story indexed afresh from the same units does.
#include "word/story/StoryText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tarnwick::word {
namespace {

class StorySplice : public ::testing::Test {
protected:
    int pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    // Units of every kind the visible projection treats differently.
    Unit randomUnit()
    {
        Unit unit;
        unit.value = static_cast<char16_t>(u'a' + pick(26));
        unit.source = static_cast<std::uint32_t>(pick(1000));
        unit.offset = static_cast<std::uint32_t>(pick(1000));
        switch (pick(6)) {
        case 0: unit.flags = kHidden; break;
        case 1: unit.flags = kFieldCode; break;
        case 2:
            unit.kind = UnitKind::CellEnd;
            unit.value = 0x07;
            break;
        case 3: unit.kind = UnitKind::Symbol; break;
        default: break;
        }
        return unit;
    }

    std::vector<Unit> randomUnits(int count)
    {
        std::vector<Unit> units;
        for (int i = 0; i < count; ++i) units.push_back(randomUnit());
        return units;
    }

    static StoryText indexed(std::vector<Unit> units)
    {
        StoryText story;
        story.units() = std::move(units);
        story.index();
        return story;
    }

    // Compares through the accessors that leave the gaps where they are.
    static void expectSame(const StoryText& story, const StoryText& expected)
    {
        ASSERT_EQ(story.size(), expected.size());
        for (std::int64_t i = 0; i < story.size(); ++i) {
            const Unit& a = story.unit(i);
            const Unit& b = expected.unit(i);
            ASSERT_TRUE(a.value == b.value && a.kind == b.kind && a.flags == b.flags && a.source == b.source &&
                        a.offset == b.offset)
                << "unit " << i;
        }
        ASSERT_EQ(story.visibleSize(), expected.visibleSize());
        for (std::int64_t i = 0; i < story.visibleSize(); ++i) {
            ASSERT_EQ(story.visibleAt(i), expected.visibleAt(i)) << "visible " << i;
            ASSERT_EQ(story.positionOfVisible(i), expected.positionOfVisible(i)) << "visible " << i;
        }
        for (std::int64_t p = -1; p <= story.size() + 1; ++p)
            ASSERT_EQ(story.visibleIndexAt(p), expected.visibleIndexAt(p)) << "position " << p;
    }

    std::mt19937 m_random{4711};
};

TEST_F(StorySplice, RandomSplicesAndReadsMatchAFreshIndex)
{
    std::vector<Unit> reference = randomUnits(300);
    StoryText story = indexed(reference);
    for (int round = 0; round < 2000; ++round) {
        const int size = static_cast<int>(reference.size());
        const int start = pick(size + 1);
        const int end = start + pick(std::min(size - start, 12) + 1);
        const std::vector<Unit> piece = randomUnits(pick(14));
        const auto base = static_cast<std::uint32_t>(pick(3) * 1000);

        story.splice(start, end, indexed(piece), base);
        reference.erase(reference.begin() + start, reference.begin() + end);
        std::vector<Unit> shifted = piece;
        for (Unit& unit : shifted) unit.source += base;
        reference.insert(reference.begin() + start, shifted.begin(), shifted.end());

        // Reads that move or close a gap, as Find, Range.Text and the readers do.
        const StoryText expected = indexed(reference);
        const std::int64_t from = pick(static_cast<int>(expected.visibleSize()) + 1);
        ASSERT_EQ(std::u16string(story.visibleFrom(from)), expected.visibleText().substr(static_cast<std::size_t>(from)));
        const std::int64_t a = pick(static_cast<int>(reference.size()) + 1);
        const std::int64_t b = pick(static_cast<int>(reference.size()) + 1);
        ASSERT_EQ(story.textOf(std::min(a, b), std::max(a, b)), expected.textOf(std::min(a, b), std::max(a, b)));
        if (round % 97 == 0) {
            ASSERT_EQ(story.visiblePositions(), expected.visiblePositions());
        }
        if (round % 89 == 0) {
            ASSERT_EQ(story.visibleText(), expected.visibleText());
        }
        if (round % 83 == 0) {
            ASSERT_EQ(story.units().size(), reference.size());
        }
        if (round % 10 == 0) expectSame(story, expected);
        if (HasFatalFailure()) FAIL() << "round " << round;
    }
    expectSame(story, indexed(reference));
}

// Pieces much longer than what they replace make the buffers grow while
// positions behind the gap are stored relative to the story's size.
TEST_F(StorySplice, GrowingAndShrinkingEditsFromFrontToBack)
{
    std::vector<Unit> reference = randomUnits(2000);
    StoryText story = indexed(reference);
    std::int64_t at = 0;
    for (int round = 0; at < static_cast<std::int64_t>(reference.size()) && round < 400; ++round) {
        const bool grow = round % 3 != 0;
        const std::int64_t end = std::min<std::int64_t>(at + (grow ? 1 : 9), static_cast<std::int64_t>(reference.size()));
        const std::vector<Unit> piece = randomUnits(grow ? 40 : 1);
        story.splice(at, end, indexed(piece), 0);
        reference.erase(reference.begin() + at, reference.begin() + end);
        reference.insert(reference.begin() + at, piece.begin(), piece.end());
        at += static_cast<std::int64_t>(piece.size()) + pick(30);
        // A find continues behind the edit.
        const StoryText expected = indexed(reference);
        const std::int64_t from = expected.visibleIndexAt(std::min<std::int64_t>(at, expected.size()));
        ASSERT_EQ(std::u16string(story.visibleFrom(from)), expected.visibleText().substr(static_cast<std::size_t>(from)));
    }
    expectSame(story, indexed(reference));
}

}  // namespace
}  // namespace tarnwick::word
