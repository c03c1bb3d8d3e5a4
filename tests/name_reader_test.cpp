// The reader's quick look at its threshold: a name whose back-references could spell past
// ExpansionLimit, each doubling what the bytes read so far spell, is read in full; one whose
// digits cannot is not, so that most names cost only the look.
#include <gtest/gtest.h>

#include <string>

#include "core/grammar_reader.h"
#include "tests/quoted.h"

namespace {

TEST(NameReader, QuickLookReadsInFullFromItsThreshold) {
    static const struct {
        int row;
        std::string name;
        bool readInFull;
    } rows[] = {
        // With its NUL and the NULs after it, 32 bytes, nine digits: 32 << 9 is the limit.
        {1, "?012345789abcdefghijklm", false},
        {2, "?012345789abcdefghijklmn", true},
        // More digits than a shift can count.
        {3, "?" + std::string(64, '1'), true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": name " << Quoted(r.name));
        EXPECT_EQ(grammar::MayHoldHazard(r.name), r.readInFull);
    }
}

}  // namespace
