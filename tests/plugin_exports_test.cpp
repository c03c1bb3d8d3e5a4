// The four exports as the host sees them, against the fake host.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/option_table.h"
#include "host/plugin_exports.h"
#include "tests/fake_host.h"
#include "tests/plugin_texts.h"

// Out of memory on demand: while this is set, every operator new of the test program fails.
// Every form that GoogleTest or the runtime may call is replaced, so that no block comes
// from one allocator and goes back to another.
namespace {
bool FailAllocations = false;
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return FailAllocations ? nullptr : std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void* operator new(std::size_t size) {
    void* block = operator new(size, std::nothrow);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

namespace {

TEST(PluginExports, DataWritesTheShortName) {
    Reset();
    char name[32];
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(_ODBG_Plugindata(name), 110);
    EXPECT_EQ(std::string(name, 11), std::string("Sorvindel\0#", 11));
}

TEST(PluginExports, InitAcceptsVersion110AndLater) {
    static const struct {
        int row, version, result;
    } rows[] = {{1, 109, -1}, {2, -1, -1}, {3, INT_MIN, -1},
                {4, 110, 0},  {5, 111, 0}, {6, INT_MAX, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << r.row << ": version " << r.version);
        Reset();
        EXPECT_EQ(_ODBG_Plugininit(r.version, nullptr), r.result);
        if (r.result != 0) {
            EXPECT_TRUE(Host().log.empty());
            continue;
        }
        ASSERT_EQ(Host().log.size(), 2u);
        EXPECT_EQ(Host().log[0].highlight, 0);
        EXPECT_EQ(Host().log[1].highlight, -1);
        for (const LogRecord& line : Host().log) {
            EXPECT_EQ(line.address, 0u);
            EXPECT_EQ(line.text.find('%'), std::string::npos) << line.text;
        }
        EXPECT_EQ(Host().log[0].text.rfind("Sorvindel " + std::string(PluginVersion) + ": ", 0), 0u)
            << Host().log[0].text;
        EXPECT_EQ(Host().log[1].text.rfind("  ", 0), 0u);
    }
}

TEST(PluginExports, MenuOnlyForOriginZero) {
    for (int origin : {1, -1, 5}) {
        Reset();
        char data[128] = "untouched";
        EXPECT_EQ(_ODBG_Pluginmenu(origin, data), 0);
        EXPECT_STREQ(data, "untouched");
    }
    Reset();
    char data[128];
    std::memset(data, '#', sizeof data);
    EXPECT_EQ(_ODBG_Pluginmenu(0, data), 1);
    EXPECT_EQ(std::string(data, sizeof MenuText + 1), std::string(MenuText) + '\0' + '#');
}

TEST(PluginExports, ActionDispatchesOnTheNumberAlone) {
    static const struct {
        int row, origin, action;
        bool passRuns;
        std::vector<std::string> notices;
    } rows[] = {
        {1, 0, 1, true, {}},
        {2, 5, 1, true, {}},
        {3, 0, 2, false, {}},
        {4, 0, 0, false, {}},
        {5, INT_MIN, -7, false, {}},
        {6, 0, 4, false, {"NAME_ONLY = False"}},
        {7, 1, 5, false, {"REMOVE_EMPTY = False"}},
        {8, 0, 6, false, {}},
        {9, 0, 3, false, {"COMPLETE = True"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "row " << r.row << ": origin " << r.origin << ", action " << r.action);
        Reset();
        Host().base = 0x1000;
        Host().size = 4;
        _ODBG_Pluginaction(r.origin, r.action);
        EXPECT_EQ(Host().reads.size(), r.passRuns ? 4u : 0u);
        EXPECT_EQ(Host().notices, r.notices);
    }
}

TEST(PluginExports, NoExceptionReachesTheHost) {
    Reset();
    Host().base = 0x1000;
    Host().size = 2;
    Host().labels = {{0x1000, "?a"}, {0x1001, "?b"}};
    Host().undecorate = [](const std::string&, unsigned long) -> UndecorateAnswer {
        throw std::bad_alloc();
    };
    EXPECT_NO_THROW(_ODBG_Pluginaction(0, 1));
    EXPECT_EQ(Host().undecorations.size(), 1u);  // the failed call ends the action

    // A flip whose notice cannot be built out of memory changes nothing.
    FailAllocations = true;
    _ODBG_Pluginaction(0, 4);
    char menu[64] = "untouched";
    const int shown = _ODBG_Pluginmenu(0, menu);
    FailAllocations = false;
    EXPECT_TRUE(Host().notices.empty());
    EXPECT_TRUE(Lookup("NAME_ONLY"));
    EXPECT_EQ(shown, 0);
    EXPECT_STREQ(menu, "untouched");
}

}  // namespace
