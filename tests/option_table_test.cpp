// The option table: initial contents, name order, Lookup's insertion and flips.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/option_table.h"
#include "tests/fake_host.h"
#include "tests/quoted.h"

namespace {

using Listing = std::vector<std::pair<std::string, bool>>;

Listing Traverse() {
    return {Options().begin(), Options().end()};
}

TEST(OptionTable, FreshTableListsInNameOrder) {
    Reset();
    EXPECT_EQ(Traverse(),
              (Listing{{"COMPLETE", false}, {"NAME_ONLY", true}, {"REMOVE_EMPTY", true}}));
    EXPECT_EQ(EntryAt(0)->first, "COMPLETE");
    EXPECT_EQ(EntryAt(2)->first, "REMOVE_EMPTY");
    EXPECT_EQ(EntryAt(3), nullptr);
}

TEST(OptionTable, FlipsAreSeenByLookup) {
    Reset();
    const std::vector<bool> expected = {true, false, true, false};
    for (std::size_t flips = 0; flips < expected.size(); ++flips) {
        EXPECT_EQ(Lookup("NAME_ONLY"), expected[flips]) << "after " << flips << " flips";
        Flip(*EntryAt(1));
    }
    EXPECT_EQ(Options().size(), 3u);
}

// Lookup of an absent name inserts it with false at its byte-wise place: unsigned bytes,
// shorter prefix first; every entry after it moves one menu number up.
TEST(OptionTable, LookupInsertsAbsentNamesInByteOrder) {
    static const struct {
        int row;
        std::string name;
        std::size_t position;
    } rows[] = {
        {1, "A", 0}, {2, "COMPLETE_", 1}, {3, "COMPLETD", 0},           {4, "NAME", 1},
        {5, "Z", 3}, {6, "\xC4LT", 3},    {7, std::string("\0", 1), 0}, {8, "REMOVE_EMPTY\x7F", 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": name " << Quoted(r.name));
        Reset();
        EXPECT_FALSE(Lookup(r.name));
        ASSERT_EQ(Options().size(), 4u);
        EXPECT_EQ(EntryAt(r.position)->first, r.name);
        const std::size_t removeEmpty = r.position <= 2 ? 3 : 2;
        EXPECT_EQ(EntryAt(removeEmpty)->first, "REMOVE_EMPTY");
        EXPECT_EQ(MenuNumber(removeEmpty), r.position <= 2 ? 6 : 5);
    }
}

}  // namespace
