// The reader's quick look: it must send to the full reading every name in which a hazard can
// start (a 'Y' before a count, "_R" before a byte but 0 to 4, '6' after 'P' to 'S', or
// digits enough for back-references to spell past ExpansionLimit, each doubling what the
// bytes read so far spell), and only those, so that most names cost only the look.
#include <gtest/gtest.h>

#include <string>

#include "core/grammar_reader.h"
#include "tests/quoted.h"

namespace {

TEST(NameReader, QuickLookSendsOnlyWhatMayHoldAHazard) {
    static const struct {
        int row;
        std::string name;
        bool readInFull;
    } rows[] = {
        // With its NUL and the NULs after it, 32 bytes, nine digits: 32 << 9 is the limit.
        {1, "?012345789aY/:efghijklm", false},
        {2, "?012345678abcdefghijklmn", true},
        // More digits than a shift can count.
        {3, "?" + std::string(64, '1'), true},
        // The bytes a hazard starts with, and their look-alikes.
        {4, "?Read@File@io@@QAEHPAXI@Z", false},
        {5, "?a@@3PAY01HA", false},
        {6, "?YPPPPPPPPx@@3HA", false},
        {7, "??_R0?AUx@@8", false},
        {8, "??_R4", false},
        {9, "??_R/", true},
        {10, "?O6@@3HA", false},
        {11, "?T6@@3HA", false},
        {12, "?aP6@@3HA", true},
        // An array's count against the bytes after it, to the byte: '9' counts 10, "BA@" 16.
        {13, "?a@@3PAY9HHHHHHHHH", true},
        {14, "?a@@3PAY9HHHHHHHHHH", false},
        {15, "?a@@3PAYBA@HHHHHHHHHHHHHHH", true},
        {16, "?a@@3PAYBA@HHHHHHHHHHHHHHHH", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": name " << Quoted(r.name));
        EXPECT_EQ(grammar::MayHoldHazard(r.name), r.readInFull);
    }
}

}  // namespace
