// The comparison of each name's readings with the reader's verdict and with its reading in
// each dialect, made once a name, and the tally of what was seen.
#include "oracle/reader_check.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <span>

#include "core/grammar_reader.h"
#include "host/host_services.h"
#include "oracle/wine_undecorator.h"
#include "tests/quoted.h"

namespace {

constexpr unsigned long Flags[] = {UndecorateNameOnly, UndecorateComplete};
constexpr std::size_t PerName = std::size(Flags);  // readings an undecorator makes of a name
constexpr std::size_t MissesShown = 20;

std::string FlagName(unsigned long flags) {
    return flags == UndecorateNameOnly ? "NAME_ONLY" : "complete";
}

std::string_view HazardName(Hazard hazard) {
    constexpr std::string_view Names[] = {
        "none", "ArrayRank", "UnknownRtti", "QualifiedFunctionPointer", "PastEnd", "Expansion"};
    return Names[static_cast<int>(hazard)];
}

bool IsRunaway(Hazard hazard) {
    return hazard == Hazard::ArrayRank || hazard == Hazard::Expansion;
}

// The hazard that the reader must find where a reading ends so; a runaway is either kind.
bool Matches(Hazard found, Ending ending) {
    switch (ending) {
        case Ending::Runaway:
            return IsRunaway(found);
        case Ending::Assert:
            return found == Hazard::UnknownRtti;
        case Ending::OtherFault:
            return found == Hazard::QualifiedFunctionPointer;
        case Ending::FaultPastNuls:
            return found == Hazard::PastEnd;
        default:
            return found == Hazard::None;
    }
}

// The reader's conservative rule for arrays: some 'Y' stands before a count above the bytes
// after it.
bool HasCountAboveBytesLeft(std::string_view name) {
    for (std::size_t at = name.find('Y'); at != std::string_view::npos;
         at = name.find('Y', at + 1)) {
        std::size_t used = 0;
        const std::string_view rest = name.substr(at + 1);
        const grammar::Count count = grammar::ReadNumber(rest, used);
        if (count.ok && !count.negative && count.value > rest.size() - used) return true;
    }
    return false;
}

// A name whose back-references spell past ExpansionLimit makes the undecorator build a text
// of that order, and allocate no less, whether or not it runs away.
constexpr std::size_t ExpandedAllocation = ExpansionLimit / 4;

// Where the reader stops at one of its conservative rules, the reading may end otherwise.
bool Conservative(Hazard found, std::string_view name, const ReadingResult& result) {
    return (found == Hazard::ArrayRank && HasCountAboveBytesLeft(name)) ||
           (found == Hazard::Expansion && result.allocated >= ExpandedAllocation);
}

// What the reader makes of a name: its verdict, and its reading in the dialect of each
// undecorator and flag, where it models the version.
struct ReaderView {
    Hazard verdict;
    std::vector<std::optional<Hazard>> readings;  // by undecorator and then flag
};

// A version of oracle/wine-sources.txt that is no row of grammar::WineVersions is checked by
// the reader's verdict alone, until the reader learns it.
ReaderView ViewOf(std::string_view name) {
    ReaderView view{ReadDecoratedName(name).hazard, {}};
    for (const WineUndecorator& undecorator : WineUndecorators) {
        const auto row = std::find_if(
            std::begin(grammar::WineVersions), std::end(grammar::WineVersions),
            [&](const grammar::WineVersion& v) { return v.name == undecorator.version; });
        for (const unsigned long flags : Flags) {
            if (row == std::end(grammar::WineVersions)) {
                view.readings.emplace_back();
                continue;
            }
            const auto dialect = static_cast<grammar::Traits>(
                row->traits | (flags == UndecorateNameOnly ? grammar::NameOnly : 0));
            view.readings.emplace_back(grammar::Reader(name, dialect).ReadSymbol());
        }
    }
    return view;
}

// How one name's readings ended, by undecorator and then flag.
std::string Endings(std::span<const ReadingResult> results) {
    std::string text;
    for (std::size_t r = 0; r < results.size(); ++r) {
        const std::size_t f = r % PerName;
        if (f == 0) {
            text += std::string(r == 0 ? "" : "; ") + "Wine " +
                    std::string(WineUndecorators[r / PerName].version) + ":";
        }
        text += std::string(f == 0 ? " " : ", ") + FlagName(Flags[f]) + " " +
                std::string(EndingName(results[r].ending));
    }
    return text;
}

// Compares one name's readings, by undecorator and then flag, with the reader's.
void Check(const Named& named, const ReaderView& view, std::span<const ReadingResult> results,
           bool show, Tally& tally) {
    tally.endings.resize(results.size());
    bool anyHazard = false;
    for (std::size_t r = 0; r < results.size(); ++r) {
        ++tally.endings[r][static_cast<int>(results[r].ending)];
        anyHazard = anyHazard || IsHazard(results[r].ending);
    }
    const auto what = [&] { return Quoted(named.name) + " (" + named.from + ")"; };
    if (show) {
        std::cout << what() << ": the reader: " << HazardName(view.verdict) << "; "
                  << Endings(results) << "\n";
    }
    const auto miss = [&](const std::string& why) {
        tally.misses.push_back("miss: " + what() + ": " + why + "; " + Endings(results));
    };
    // The verdict: kept back exactly when some reading ends in a hazard, and as that hazard,
    // or by a conservative rule.
    if (view.verdict == Hazard::None) {
        for (const ReadingResult& result : results) {
            if (result.ending == Ending::Runaway) continue;
            tally.largestLetThrough = std::max(tally.largestLetThrough, result.allocated);
        }
        if (anyHazard) miss("the reader lets it through");
    } else {
        ++tally.kept[view.verdict];
        const auto agrees = [&](const ReadingResult& r) {
            return Matches(view.verdict, r.ending) || Conservative(view.verdict, named.name, r);
        };
        if (!std::any_of(results.begin(), results.end(), agrees)) {
            miss("the reader keeps it back as " + std::string(HazardName(view.verdict)));
        } else if (!anyHazard) {
            if (tally.overKeptShown.size() < 3) tally.overKeptShown.push_back(what());
            ++tally.overKept[view.verdict];
        }
    }
    // Each reading of a modelled version, against the reader's reading in its dialect.
    for (std::size_t r = 0; r < results.size(); ++r) {
        if (!view.readings[r]) continue;
        const Hazard found = *view.readings[r];
        if (Matches(found, results[r].ending) || Conservative(found, named.name, results[r])) {
            continue;
        }
        miss("Wine " + std::string(WineUndecorators[r / PerName].version) + " " +
             FlagName(Flags[r % PerName]) + " ended " + std::string(EndingName(results[r].ending)) +
             ", the reader's reading of it finds " + std::string(HazardName(found)));
    }
}

}  // namespace

void ReadAndCheck(const std::vector<Named>& names, int children, std::size_t shown, Tally& tally) {
    std::vector<Reading> readings;
    std::vector<ReaderView> views;
    for (const Named& named : names) {
        views.push_back(ViewOf(named.name));
        for (const WineUndecorator& undecorator : WineUndecorators) {
            for (const unsigned long flags : Flags) {
                readings.push_back({named.name, &undecorator, flags});
            }
        }
    }
    std::vector<ReadingResult> results = RunReadings(readings, children, FirstPassBudget);
    // How far a reading runs away decides nothing where the reader keeps the name back as a
    // runaway, and so does its reading of that one.
    const std::size_t perName = WineUndecorators.size() * PerName;
    std::vector<Reading> again;
    std::vector<std::size_t> againAt;
    for (std::size_t r = 0; r < readings.size(); ++r) {
        const ReaderView& view = views[r / perName];
        const std::optional<Hazard>& reading = view.readings[r % perName];
        const bool stops = IsRunaway(view.verdict) && (!reading || IsRunaway(*reading));
        if (results[r].ending == Ending::Runaway && results[r].allocated <= AllocationBudget &&
            !stops) {
            again.push_back(readings[r]);
            againAt.push_back(r);
        }
    }
    const std::vector<ReadingResult> wholeBudget = RunReadings(again, children, AllocationBudget);
    for (std::size_t a = 0; a < again.size(); ++a) results[againAt[a]] = wholeBudget[a];
    tally.readings += readings.size();
    tally.again += again.size();
    for (std::size_t n = 0; n < names.size(); ++n) {
        Check(names[n], views[n], std::span(results).subspan(n * perName, perName), n < shown,
              tally);
    }
}

void PrintTally(const Tally& tally) {
    for (std::size_t r = 0; r < tally.endings.size(); ++r) {
        std::printf("    Wine %s %s:", std::string(WineUndecorators[r / PerName].version).c_str(),
                    FlagName(Flags[r % PerName]).c_str());
        for (std::size_t e = 0; e < tally.endings[r].size(); ++e) {
            std::printf("%s %zu %s", e == 0 ? "" : ",", tally.endings[r][e],
                        std::string(EndingName(static_cast<Ending>(e))).c_str());
        }
        std::printf("\n");
    }
    std::printf("    kept back by the reader:");
    for (const auto& [hazard, count] : tally.kept) {
        const auto over = tally.overKept.find(hazard);
        std::printf(" %zu %s (%zu over-kept)", count, std::string(HazardName(hazard)).c_str(),
                    over == tally.overKept.end() ? 0 : over->second);
    }
    std::printf(
        "\n    over-kept, by the reader's conservative rules, where no reading ends in a"
        " hazard: %s\n",
        tally.overKeptShown.empty() ? "none" : tally.overKeptShown[0].c_str());
    std::printf(
        "    the most a reading of a name let through allocated: %zu bytes (a runaway:"
        " %zu)\n",
        tally.largestLetThrough, AllocationBudget);
    for (std::size_t i = 0; i < std::min(tally.misses.size(), MissesShown); ++i) {
        std::printf("%s\n", tally.misses[i].c_str());
    }
    if (tally.misses.size() > MissesShown) {
        std::printf("... and %zu more\n", tally.misses.size() - MissesShown);
    }
}
