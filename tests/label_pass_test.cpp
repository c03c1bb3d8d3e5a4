// The label pass against the fake host: what each label turns into, which name and flags
// the undecorator sees, and which addresses of a range are visited.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/label_pass.h"
#include "core/option_table.h"
#include "tests/fake_host.h"
#include "tests/quoted.h"

namespace {

constexpr Address At = 0x401000;

// A variable of a class template whose arguments are the class before and a back-reference
// to it, a<a<...>,a<...> >, eleven deep: its text doubles at each level. With a name of five
// bytes it spells exactly ExpansionLimit bytes, with six one more.
constexpr const char* AtTheLimit =
    "?xxxxx@@3V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$aaa@V?$aaaa@V?$aaa@V?$a@H@@V1@@@V1@@@V1@@@"
    "V1@@@V1@@@V1@@@V1@@@V1@@@V1@@@V1@@@A";
constexpr const char* PastTheLimit =
    "?xxxxxx@@3V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$aaa@V?$aaaa@V?$aaa@V?$a@H@@V1@@@V1@@@V1@@@"
    "V1@@@V1@@@V1@@@V1@@@V1@@@V1@@@V1@@@A";
// The same through Wine 8's tables of a template's arguments: a<T,T>, each T a<U,U>, a
// back-reference to the first argument doubling the text; 25 bytes of name spell exactly
// ExpansionLimit bytes, 26 one more. Wine 10 takes those back-references from a table of
// functions' arguments, where they find nothing.
constexpr const char* ArgumentsAtTheLimit =
    "?xxxxxxxxxxxxxxxxxxxxxxxxx@@3V?$aaaa@V?$aaaa@V?$aaaa@V?$aa@V?$aaaa@V?$aaa@V?$aaaa@"
    "V?$aaaa@V?$aa@V?$aaa@V?$aaa@V?$aa@V?$a@V?$aa@V?$aaaa@V?$aa@V?$aaaa@V?$aa@V?$aaaa@_J"
    "0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@@A";
constexpr const char* ArgumentsPastTheLimit =
    "?xxxxxxxxxxxxxxxxxxxxxxxxxx@@3V?$aaaa@V?$aaaa@V?$aaaa@V?$aa@V?$aaaa@V?$aaa@V?$aaaa@"
    "V?$aaaa@V?$aa@V?$aaa@V?$aaa@V?$aa@V?$a@V?$aa@V?$aaaa@V?$aa@V?$aaaa@V?$aa@V?$aaaa@_J"
    "0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@@A";
// The same as a function's argument, after a class: Wine 10 finds the class in its one
// table and spells a few bytes, so only Wine 8's reading, which must be made, keeps it back.
constexpr const char* FunctionPastTheLimit =
    "?xxxxxxxxxxxxxxxxxxxx@@YAXVa@@V?$aaaa@V?$aaaa@V?$aaaa@V?$aa@V?$aaaa@V?$aaa@V?$aaaa@"
    "V?$aaaa@V?$aa@V?$aaa@V?$aaa@V?$aa@V?$a@V?$aa@V?$aaaa@V?$aa@V?$aaaa@V?$aa@V?$aaaa@_J"
    "0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@0@@@Z";
// AtTheLimit with a back-reference that no table holds, which spells nothing, in place of a
// byte of its name.
constexpr const char* UnheldReferenceAtTheLimit =
    "?xxx@@3V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$a@V?$aaa@V?$aaaa@V?$aaa@V?$a@H@@V1@@@V1@@@V1@@@"
    "V1@@@V1@@@V1@@@V1@@@V1@@@V1@@@V1@9@@A";
// A variable of eight (nine) nested by-value function pointers that the name leaves open:
// the undecorator reads on past the NUL, a byte for each, up to the last of the NulsAfterName
// NULs after it (past them).
constexpr const char* OpenToTheLastNul =
    "?f@@3ABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6A"
    "ABY2472?DP6A";
constexpr const char* OpenPastTheNuls =
    "?f@@3ABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6AABY2472?DP6A"
    "ABY2472?DP6AABY2472?DP6A";

TEST(LabelPass, RewritesOneLabel) {
    static const struct {
        int row;
        std::string label;
        bool removeEmpty, nameOnly, refuse;
        std::optional<std::string> given;  // what the undecorator sees; none: not called
        std::optional<std::string> after;  // label afterwards; none: deleted
    } rows[] = {
        {1, "00:?", true, true, false, std::nullopt, std::nullopt},
        {2, "00:?", true, false, false, std::nullopt, std::nullopt},
        {3, "00:?", false, true, false, "?", "[?|4096]"},
        {4, "00:?", false, true, true, "?", "00:?"},
        {5, "00:", true, true, false, "00:", "[00:|4096]"},
        {6, "x00:?f", true, true, false, "x00:?f", "[x00:?f|4096]"},
        {7, "00:00:?", true, true, false, "00:?", "[00:?|4096]"},
        {8, "00:??", true, true, false, "??", "[??|4096]"},
        {9, "00:?f@@YAXXZ", true, true, true, "?f@@YAXXZ", "00:?f@@YAXXZ"},
        {10, "?f@@YAXXZ", true, false, false, "?f@@YAXXZ", "[?f@@YAXXZ|0]"},
        {11, "00:?f@@YAXXZ", true, false, false, "?f@@YAXXZ", "[?f@@YAXXZ|0]"},
        {12, "0", true, true, false, "0", "[0|4096]"},
        {13, "00:?\xE4\x80", true, true, false, "?\xE4\x80", "[?\xE4\x80|4096]"},
        {14, std::string(256, 'q'), true, true, true, std::string(255, 'q'), std::string(256, 'q')},
        // The placeholder test looks at the label as read: a bare "?" is a name.
        {15, "?", true, true, false, "?", "[?|4096]"},
        // Names a real undecorator freezes or ends the process on stay as they are, never
        // sent; their look-alikes in well-formed names are sent as any name.
        {16, "??_R@@", true, true, false, std::nullopt, "??_R@@"},
        {17, "00:??_R", true, true, false, std::nullopt, "00:??_R"},
        {18, "?x@?1???_R5x@@6B@@4HA", true, false, false, std::nullopt, "?x@?1???_R5x@@6B@@4HA"},
        {19, "??$?_Rpow@O@std@@YAXXZ", true, true, false, std::nullopt, "??$?_Rpow@O@std@@YAXXZ"},
        {20, "?f@@YA?AP6AXXZXZ", true, true, false, std::nullopt, "?f@@YA?AP6AXXZXZ"},
        {21, "?f@@3?DP6AXXZA", true, true, false, std::nullopt, "?f@@3?DP6AXXZA"},
        {22, "?f@@YAXAAY?0D@Z", true, true, false, std::nullopt, "?f@@YAXAAY?0D@Z"},
        {23, "?e@x@@MB$?AP6AXXZ@Z", true, true, false, std::nullopt, "?e@x@@MB$?AP6AXXZ@Z"},
        {24, "??_R4x@@6B@", true, true, false, "??_R4x@@6B@", "[??_R4x@@6B@|4096]"},
        {25, "?x@?1??_R@@YAXXZ@4HA", true, true, false, "?x@?1??_R@@YAXXZ@4HA",
         "[?x@?1??_R@@YAXXZ@4HA|4096]"},
        {26, "?AP6@@3HA", true, true, false, "?AP6@@3HA", "[?AP6@@3HA|4096]"},
        {27, "??AP6@@QAEHH@Z", true, true, false, "??AP6@@QAEHH@Z", "[??AP6@@QAEHH@Z|4096]"},
        {28, "??$?AP6AXXZ@x@@QAEHXZ", true, true, false, "??$?AP6AXXZ@x@@QAEHXZ",
         "[??$?AP6AXXZ@x@@QAEHXZ|4096]"},
        {29, "??_C@_03A@?AP6Y?5?$AA@", true, true, false, "??_C@_03A@?AP6Y?5?$AA@",
         "[??_C@_03A@?AP6Y?5?$AA@|4096]"},
        {30, "??Y?$x@H@@QAEAAV0@H@Z", true, true, false, "??Y?$x@H@@QAEAAV0@H@Z",
         "[??Y?$x@H@@QAEAAV0@H@Z|4096]"},
        {31, "??_Y?$x@H@@SAXPAX0@Z", true, true, false, "??_Y?$x@H@@SAXPAX0@Z",
         "[??_Y?$x@H@@SAXPAX0@Z|4096]"},
        // Where the grammar puts an array, its count must fit in the bytes after it; the
        // same letters as a name, or a count that fits, to the byte, are sent.
        {32, "?a@@3PAYPPPPPPPP@HA", true, true, false, std::nullopt, "?a@@3PAYPPPPPPPP@HA"},
        {33, "?f@PAYPPPPPPPP@@YAXPAYPPPPPPPP@D@Z", true, false, false, std::nullopt,
         "?f@PAYPPPPPPPP@@YAXPAYPPPPPPPP@D@Z"},
        {34, "?f@PAYPPPPPPPP@@YAXXZ", true, false, false, "?f@PAYPPPPPPPP@@YAXXZ",
         "[?f@PAYPPPPPPPP@@YAXXZ|0]"},
        {35, "?a@@3PAYC@HA", true, true, false, "?a@@3PAYC@HA", "[?a@@3PAYC@HA|4096]"},
        {36, "?a@@3PAYD@HA", true, true, false, std::nullopt, "?a@@3PAYD@HA"},
        // Back-references that spell up to ExpansionLimit bytes are sent, a byte more not.
        {37, AtTheLimit, true, true, false, AtTheLimit, "[" + std::string(AtTheLimit) + "|4096]"},
        {38, PastTheLimit, true, true, false, std::nullopt, PastTheLimit},
        // The undecorator may read on up to the last NUL after the name, no further.
        {39, OpenToTheLastNul, true, true, false, OpenToTheLastNul,
         "[" + std::string(OpenToTheLastNul) + "|4096]"},
        {40, OpenPastTheNuls, true, true, false, std::nullopt, OpenPastTheNuls},
        {41, ArgumentsAtTheLimit, true, false, false, ArgumentsAtTheLimit,
         "[" + std::string(ArgumentsAtTheLimit) + "|0]"},
        {42, ArgumentsPastTheLimit, true, false, false, std::nullopt, ArgumentsPastTheLimit},
        {43, FunctionPastTheLimit, true, false, false, std::nullopt, FunctionPastTheLimit},
        {44, UnheldReferenceAtTheLimit, true, false, false, UnheldReferenceAtTheLimit,
         "[" + std::string(UnheldReferenceAtTheLimit) + "|0]"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": label " << Quoted(r.label));
        Reset();
        Host().base = At;
        Host().size = 1;
        Host().labels[At] = r.label;
        Lookup("REMOVE_EMPTY") = r.removeEmpty;
        Lookup("NAME_ONLY") = r.nameOnly;
        if (r.refuse) Host().undecorate = Refused;
        DemangleLabels();

        if (r.given) {
            // Every row is checked, so a failure names each row it holds for.
            EXPECT_EQ(Host().undecorations,
                      (std::vector<UndecorateRecord>{
                          {*r.given, 256, r.nameOnly ? UndecorateNameOnly : UndecorateComplete}}));
        } else {
            EXPECT_TRUE(Host().undecorations.empty());
        }
        if (r.after) {
            EXPECT_EQ(Host().labels[At], *r.after);
            // A refused or kept name is never written: the host keeps its bytes.
            EXPECT_EQ(Host().writes.size(), r.given && !r.refuse ? 1u : 0u);
        } else {
            EXPECT_EQ(Host().labels.count(At), 0u);
            EXPECT_EQ(Host().writes, (std::vector<WriteRecord>{{At, 49, ""}}));
        }
    }
}

TEST(LabelPass, VisitsEveryAddressOfTheRangeOnce) {
    static const struct {
        int row;
        Address base, size;
        std::vector<Address> visited;
    } rows[] = {
        {1, 0, 5, {}},
        {2, At, 0, {}},
        {3, At, 1, {At}},
        {4, 1, 3, {1, 2, 3}},
        {5, 0xFFFFFFFE, 4, {0xFFFFFFFE, 0xFFFFFFFF, 0, 1}},
        {6, 0xFFFFFFFF, 1, {0xFFFFFFFF}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": base 0x" << std::hex << r.base
                                        << ", size 0x" << r.size);
        Reset();
        Host().base = r.base;
        Host().size = r.size;
        DemangleLabels();
        EXPECT_EQ(Host().reads, r.visited);
        // No address holds a label: nothing is undecorated or written.
        EXPECT_TRUE(Host().undecorations.empty());
        EXPECT_TRUE(Host().writes.empty());
    }
}

TEST(LabelPass, GoesOnPastRefusalsAndLeavesOtherAddressesAlone) {
    Reset();
    Host().base = 0xFFFFFFFE;
    Host().size = 3;
    Host().labels = {{0xFFFFFFFD, "?outside@@3HA"},
                     {0xFFFFFFFE, "?bad"},
                     {0xFFFFFFFF, "00:?"},
                     {0, "?good@@3HA"},
                     {1, "?outside@@3HA"}};
    Host().undecorate = [](const std::string& name, unsigned long flags) {
        return name == "?bad" ? Refused(name, flags) : Tagged(name, flags);
    };
    DemangleLabels();
    EXPECT_EQ(Host().writes,
              (std::vector<WriteRecord>{{0xFFFFFFFF, 49, ""}, {0, 49, "[?good@@3HA|4096]"}}));
    EXPECT_EQ(Host().labels[0xFFFFFFFD], "?outside@@3HA");
    EXPECT_EQ(Host().labels[0xFFFFFFFE], "?bad");
    EXPECT_EQ(Host().labels[1], "?outside@@3HA");
}

// What the undecorator leaves in its buffer reaches the host only up to the buffer's end;
// an empty answer is not written, since writing "" would delete the label. Any nonzero
// result is success: the real undecorator returns the output's length.
TEST(LabelPass, WritesBackWhatTheUndecoratorGives) {
    static const struct {
        int row;
        unsigned long result;
        std::string output;   // bytes put in the 256-byte buffer
        std::string written;  // empty: no write, the label stays
    } rows[] = {
        {1, 1, std::string("?same@@3HA\0", 11), "?same@@3HA"},
        {2, 1, std::string("\0", 1), ""},
        {3, 1, std::string(256, 'x'), std::string(255, 'x')},
        {4, 8, std::string("int same\0tail", 13), "int same"},
        {5, 0x80000000, std::string("int same\0", 9), "int same"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": result " << r.result << ", output "
                                        << Quoted(r.output));
        Reset();
        Host().base = At;
        Host().size = 1;
        Host().labels[At] = "?same@@3HA";
        Host().undecorate = [&](const std::string&, unsigned long) {
            return UndecorateAnswer{r.result, r.output};
        };
        DemangleLabels();
        const std::vector<WriteRecord> expected =
            r.written.empty() ? std::vector<WriteRecord>{}
                              : std::vector<WriteRecord>{{At, 49, r.written}};
        EXPECT_EQ(Host().writes, expected);
        EXPECT_EQ(Host().labels[At], r.written.empty() ? "?same@@3HA" : r.written);
    }
}

// A host that says yes without writing a name gets the empty name undecorated, never the
// text of the label before it; one that leaves no NUL gets its buffer read, no further.
// Past each name's NUL, where the undecorator reads on in a name that ends inside a type
// ("?x@@3P"), stand NULs, not the bytes of a longer label before it.
TEST(LabelPass, MisbehavingHostsGiveAtMostTheirBuffer) {
    Reset();
    Host().base = At;
    Host().size = 5;
    Host().labels = {{At, "?f@@YAXXZ"},
                     {At + 1, "?g@@YAXXZ"},
                     {At + 2, "?h@@YAXXZ"},
                     {At + 3, std::string(256, 'r')},
                     {At + 4, "?x@@3P"}};
    Host().silentReads = {At, At + 2};
    Host().unterminatedReads = {At + 3};
    DemangleLabels();
    EXPECT_EQ(Host().undecorations, (std::vector<UndecorateRecord>{
                                        {"", 256, UndecorateNameOnly},
                                        {"?g@@YAXXZ", 256, UndecorateNameOnly},
                                        {"", 256, UndecorateNameOnly},
                                        {std::string(255, 'r'), 256, UndecorateNameOnly},
                                        {"?x@@3P", 256, UndecorateNameOnly},
                                    }));
    EXPECT_TRUE(Host().nulsAfterEveryName);
}

}  // namespace
