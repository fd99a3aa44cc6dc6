#include "results/TextArena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

TEST(TextArena, TextsStayIntactAcrossBlocksOfEverySize)
{
    TextArena arena;
    std::vector<std::pair<TextArena::Ref, std::string>> stored;
    // Short texts fill blocks and spill into new ones; a text longer than a
    // block gets one of its own; short texts follow it again.
    for (int i = 0; i < 60'000; ++i) {
        std::string text(1 + i % 40, static_cast<char>('a' + i % 26));
        if (i == 30'000) text.assign(3'500'000, 'L');
        if (i == 30'001) text.assign(1 << 20, 'S');  // exactly one block
        stored.emplace_back(arena.append(text), text);
    }
    for (const auto& [ref, text] : stored) ASSERT_EQ(arena.view(ref), text);

    EXPECT_EQ(arena.view(arena.append("")), "");
    arena.clear();
    const TextArena::Ref again = arena.append("nach dem Leeren");
    EXPECT_EQ(again.offset, 0u);
    EXPECT_EQ(arena.view(again), "nach dem Leeren");
}

}  // namespace
}  // namespace tarnwick
