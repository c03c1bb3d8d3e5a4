// The menu text and the toggle actions, alone and together with the label pass.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/label_pass.h"
#include "core/option_table.h"
#include "core/options_menu.h"
#include "tests/fake_host.h"
#include "tests/plugin_texts.h"

namespace {

TEST(OptionsMenu, TextListsNamesNotValues) {
    Reset();
    EXPECT_EQ(BuildMenuText(), MenuText);
    EXPECT_EQ(sizeof MenuText - 1, 62u);
    for (int action : {3, 4, 5}) ToggleOption(action);
    EXPECT_EQ(BuildMenuText(), MenuText);
    Lookup("A_FIRST");
    EXPECT_EQ(BuildMenuText(),
              "2Options{3A_FIRST,4COMPLETE,5NAME_ONLY,6REMOVE_EMPTY,}|1Demangle Labels");
}

TEST(OptionsMenu, ToggleSequencesAnnounceEachFlip) {
    static const struct {
        int row;
        std::vector<int> actions;
        std::vector<std::string> notices;
        bool complete, nameOnly, removeEmpty;
    } rows[] = {
        {1, {3}, {"COMPLETE = True"}, true, true, true},
        {2, {4}, {"NAME_ONLY = False"}, false, false, true},
        {3, {5, 5}, {"REMOVE_EMPTY = False", "REMOVE_EMPTY = True"}, false, true, true},
        {4,
         {3, 4, 5, 3},
         {"COMPLETE = True", "NAME_ONLY = False", "REMOVE_EMPTY = False", "COMPLETE = False"},
         false,
         false,
         false},
        // Numbers that name no option do nothing at all.
        {5, {6, 1000, INT_MAX, 2, 1, 0, -1, INT_MIN}, {}, false, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "row " << r.row << ": actions " << testing::PrintToString(r.actions));
        Reset();
        for (int action : r.actions) ToggleOption(action);
        EXPECT_EQ(Host().notices, r.notices);
        EXPECT_EQ(Lookup("COMPLETE"), r.complete);
        EXPECT_EQ(Lookup("NAME_ONLY"), r.nameOnly);
        EXPECT_EQ(Lookup("REMOVE_EMPTY"), r.removeEmpty);
        EXPECT_EQ(Options().size(), 3u);
    }
}

// A pass between two flips of REMOVE_EMPTY hands placeholders to the undecorator as "?";
// a pass after them deletes them again. Flipping NAME_ONLY changes the next pass's flags.
TEST(OptionsMenu, PassFollowsTheSwitches) {
    Reset();
    Host().base = 0x1000;
    Host().size = 2;
    const auto place = [] { Host().labels = {{0x1000, "00:?"}, {0x1001, "?f@@YAXXZ"}}; };

    place();
    ToggleOption(5);
    DemangleLabels();
    EXPECT_EQ(Host().labels[0x1000], "[?|4096]");
    EXPECT_EQ(Host().labels[0x1001], "[?f@@YAXXZ|4096]");

    place();
    ToggleOption(5);
    ToggleOption(4);
    DemangleLabels();
    EXPECT_EQ(Host().labels.count(0x1000), 0u);
    EXPECT_EQ(Host().labels[0x1001], "[?f@@YAXXZ|0]");
    EXPECT_EQ(Host().notices,
              (std::vector<std::string>{"REMOVE_EMPTY = False", "REMOVE_EMPTY = True",
                                        "NAME_ONLY = False"}));
}

}  // namespace
