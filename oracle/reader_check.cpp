// The comparison of each name's readings with the reader's verdict and with its reading in
// each dialect, and the tally of what was seen.
#include "oracle/reader_check.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>

#include "core/dialects.h"
#include "core/grammar_reader.h"
#include "host/host_services.h"
#include "oracle/leeway.h"
#include "tests/quoted.h"

namespace {

constexpr unsigned long Flags[] = {UndecorateNameOnly, UndecorateComplete};
constexpr std::size_t PerName = std::size(Flags);  // readings an undecorator makes of a name

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

std::string ReadingName(std::size_t r) {
    return "Wine " + std::string(WineUndecorators[r / PerName].version) + " " +
           FlagName(Flags[r % PerName]);
}

// A version of oracle/wine-sources.txt that is no row of grammar::WineVersions is checked by
// the reader's verdict alone, until the reader learns it.
ReaderView ViewOfHeld(std::string_view name) {
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

}  // namespace

// The reader reads no byte past the name, whatever follows it: each name is read again with
// bytes after it that a reading past its end would take for more of it (a template parameter,
// a digit, a number's digit, its end), and every answer must be the first one.
ReaderView ViewOf(std::string_view name) {
    constexpr std::string_view After[] = {"?$AP@", "1@", "P@1", "@P"};
    ReaderView view = ViewOfHeld(name);
    for (const std::string_view after : After) {
        const std::string held = std::string(name) + std::string(after);
        view.readsPastTheEnd = view.readsPastTheEnd ||
                               !(ViewOfHeld(std::string_view(held.data(), name.size())) == view);
    }
    return view;
}

std::vector<Reading> ReadingsOf(std::string_view name) {
    std::vector<Reading> readings;
    for (const WineUndecorator& undecorator : WineUndecorators) {
        for (const unsigned long flags : Flags) readings.push_back({name, &undecorator, flags});
    }
    return readings;
}

// How far a reading runs away decides nothing where the reader keeps the name back as a
// runaway, and so does its reading of that one.
bool RunawayDecides(const ReaderView& view, std::size_t reading) {
    const std::optional<Hazard>& found = view.readings[reading];
    return !IsRunaway(view.verdict) || (found && !IsRunaway(*found));
}

std::string Endings(std::span<const ReadingResult> results, bool allocations) {
    std::string text;
    for (std::size_t r = 0; r < results.size(); ++r) {
        const std::size_t f = r % PerName;
        if (f == 0) {
            text += std::string(r == 0 ? "" : "; ") + "Wine " +
                    std::string(WineUndecorators[r / PerName].version) + ":";
        }
        text += std::string(f == 0 ? " " : ", ") + FlagName(Flags[f]) + " " +
                std::string(EndingName(results[r].ending));
        if (allocations) {
            text += " (" + std::to_string(results[r].allocated) + " bytes allocated, " +
                    std::to_string(results[r].resolved) + " resolved)";
        }
    }
    return text;
}

std::vector<std::string> Disagreements(std::string_view name, const ReaderView& view,
                                       std::span<const ReadingResult> results) {
    std::vector<std::string> wrong;
    if (view.readsPastTheEnd) wrong.emplace_back("the reader reads past the name's end");
    // The verdict: kept back exactly when some reading ends in a hazard, and as that hazard,
    // or by a conservative rule.
    const bool anyHazard = std::any_of(results.begin(), results.end(),
                                       [](const ReadingResult& r) { return IsHazard(r.ending); });
    if (view.verdict == Hazard::None) {
        if (anyHazard) wrong.emplace_back("the reader lets it through");
    } else if (!Conservative(view.verdict, name, results) &&
               std::none_of(results.begin(), results.end(), [&](const ReadingResult& r) {
                   return Matches(view.verdict, r.ending);
               })) {
        wrong.push_back("the reader keeps it back as " + std::string(HazardName(view.verdict)));
    }
    // Each reading of a modelled version, against the reader's reading in its dialect; an
    // Expansion there is excused by that reading's own count alone.
    for (std::size_t r = 0; r < results.size(); ++r) {
        const std::optional<Hazard>& found = view.readings[r];
        if (!found || Matches(*found, results[r].ending) ||
            Conservative(*found, name, results.subspan(r, 1))) {
            continue;
        }
        wrong.push_back(ReadingName(r) + " ended " + std::string(EndingName(results[r].ending)) +
                        ", the reader's reading of it finds " + std::string(HazardName(*found)));
    }
    return wrong;
}

namespace {

// Tallies one name's readings, by undecorator and then flag, and what the reader got wrong.
void Check(const Named& named, const ReaderView& view, std::span<const ReadingResult> results,
           bool show, Tally& tally) {
    tally.endings.resize(results.size());
    bool anyHazard = false;
    for (std::size_t r = 0; r < results.size(); ++r) {
        ++tally.endings[r][static_cast<std::size_t>(results[r].ending)];
        anyHazard = anyHazard || IsHazard(results[r].ending);
    }
    const std::string what = Quoted(named.name) + " (" + named.from + ")";
    if (show) {
        std::cout << what << ": the reader: " << HazardName(view.verdict) << "; "
                  << Endings(results, true) << "\n";
    }
    if (view.verdict == Hazard::None) {
        for (const ReadingResult& result : results) {
            if (result.ending == Ending::Runaway) continue;
            tally.largestLetThrough = std::max(tally.largestLetThrough, result.allocated);
        }
    } else {
        ++tally.kept[view.verdict];
        if (!anyHazard) {
            if (tally.overKeptShown.size() < 3) tally.overKeptShown.push_back(what);
            ++tally.overKept[view.verdict];
            if (view.verdict == Hazard::Expansion) {
                const auto most =
                    std::max_element(results.begin(), results.end(),
                                     [](const ReadingResult& a, const ReadingResult& b) {
                                         return a.resolved < b.resolved;
                                     });
                tally.leastResolvedOverKept = std::min(tally.leastResolvedOverKept, most->resolved);
            }
        }
    }
    const std::vector<std::string> wrong = Disagreements(named.name, view, results);
    if (wrong.empty()) return;
    ++tally.missCount;
    std::string line = what;
    for (const std::string& why : wrong) line += ": " + why;
    tally.misses[Endings(results, false)].push_back(line);
}

}  // namespace

void ReadAndCheck(const std::vector<Named>& names, int children, std::size_t shown,
                  ReadingStore& store, Tally& tally) {
    std::vector<ReaderView> views;
    std::vector<Reading> readings;
    for (const Named& named : names) {
        views.push_back(ViewOf(named.name));
        for (const Reading& reading : ReadingsOf(named.name)) readings.push_back(reading);
    }
    const std::size_t perName = WineUndecorators.size() * PerName;
    std::vector<ReadingResult> results(readings.size());
    // Those the store lacks are made, in one pass and then, for the runaways that decide, in
    // another.
    const auto make = [&](const std::vector<std::size_t>& which, std::size_t budget) {
        std::vector<Reading> missing;
        std::vector<std::size_t> at;
        for (const std::size_t r : which) {
            if (const std::optional<ReadingResult> kept = store.Find(readings[r], budget)) {
                results[r] = *kept;
            } else {
                missing.push_back(readings[r]);
                at.push_back(r);
            }
        }
        const std::vector<ReadingResult> made = RunReadings(missing, children, budget);
        for (std::size_t m = 0; m < made.size(); ++m) {
            results[at[m]] = made[m];
            store.Keep(missing[m], budget, made[m]);
        }
        tally.made += made.size();
    };
    std::vector<std::size_t> all(readings.size());
    for (std::size_t r = 0; r < all.size(); ++r) all[r] = r;
    make(all, FirstPassBudget);
    std::vector<std::size_t> again;
    for (std::size_t r = 0; r < readings.size(); ++r) {
        if (results[r].ending == Ending::Runaway && results[r].allocated <= AllocationBudget &&
            RunawayDecides(views[r / perName], r % perName)) {
            again.push_back(r);
        }
    }
    make(again, AllocationBudget);
    tally.readings += readings.size();
    tally.again += again.size();
    for (std::size_t n = 0; n < names.size(); ++n) {
        Check(names[n], views[n], std::span(results).subspan(n * perName, perName), n < shown,
              tally);
    }
}

void PrintTally(const Tally& tally) {
    for (std::size_t r = 0; r < tally.endings.size(); ++r) {
        std::printf("    %s:", ReadingName(r).c_str());
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
    if (tally.leastResolvedOverKept != SIZE_MAX) {
        std::printf(
            "    over-kept as Expansion: the least that a name's readings resolved is %zu"
            " bytes (excused from %zu)\n",
            tally.leastResolvedOverKept, ResolvedAtTheLimit);
    }
    std::printf(
        "    the most a reading of a name let through allocated: %zu bytes (a runaway:"
        " %zu)\n",
        tally.largestLetThrough, AllocationBudget);
    for (const auto& [endings, misses] : tally.misses) {
        std::printf("%zu %s where the readings ended %s:\n", misses.size(),
                    misses.size() == 1 ? "miss" : "misses", endings.c_str());
        for (const std::string& miss : misses) std::printf("    %s\n", miss.c_str());
    }
}
