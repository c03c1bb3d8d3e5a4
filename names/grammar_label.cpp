// Three kinds of label, each choice taken from the caller's bytes: a walk down the grammar
// (grammar_walk.h), a few of its pieces after the start of a symbol, and a run of pieces.
#include "names/grammar_label.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>

#include "names/grammar_walk.h"

namespace {

constexpr const char* Codes[] = {
    "?",   "??", "?$", "??$?", "??_R", "??_C", "??__K", "?_",   "@",       "@@",  "x@",  "void@",
    "<>@", "0",  "1",  "9",    "?0",   "?A@",  "?P@",   "A",    "B",       "D",   "H",   "X",
    "XZ",  "Z",  "@Z", "_N",   "_",    "V",    "U",     "W4",   "T",       "P",   "PA",  "QB",
    "AA",  "?A", "?B", "?C",   "$$C",  "$$B",  "$$Q",   "$$A6", "$$T",     "$$V", "$A",  "$0",
    "$F",  "$G", "$R", "$B",   "$4",   "P6",   "Q6",    "S6",   "P8",      "E",   "F",   "G",
    "I",   "L",  "Y",  "Y0",   "Y1",   "Y?",   "Y?A@",  "YP@",  "YPPPP@",  "YA",  "QAE", "UAE",
    "SA",  "2",  "3",  "6",    "6B@",  "8",    "M",     "N",    "Vvoid@@", "HA",
};

// Starts of symbols after which a type, an argument list, a scope or a special name is read,
// so that a few pieces after one reach the grammar's inner productions.
constexpr const char* Frames[] = {
    "?x@@3",
    "?x@@2",
    "?f@@YA",
    "?f@@YAX",
    "?f@@YAXH",
    "?f@x@@QAE",
    "?f@x@@QAEX",
    "??0x@@QAE@",
    "?f@x@@SA",
    "??$f@",
    "?$f@",
    "??$?0",
    "??_R",
    "??_R0",
    "??_7x@@6",
    "?x@x@@",
    "?x@?1??f@@YAXXZ@",
    "?x@?1??",
    "?f@@$",
    "?f@x@@G",
    "?f@@YAXP6A",
    "?f@@YAXPA",
    "?x@@3PAY",
    "?x@@3?A",
};
constexpr const char* FrameEnds[] = {"", "A", "@", "@Z", "Z", "XZ", "@@"};

constexpr std::size_t MaxLabel = 255;

}  // namespace

const std::span<const char* const> GrammarCodes(Codes);

std::string GrammarLabel(FuzzedDataProvider& in) {
    std::string label;
    const int kind = in.ConsumeIntegralInRange(0, 4);
    if (kind < 2) {
        label = GrammarWalk(in).Label();
    } else if (kind < 4) {
        label = in.PickValueInArray(Frames);
        for (int n = in.ConsumeIntegralInRange(1, 6); n > 0; --n) {
            label += in.PickValueInArray(Codes);
        }
        label += in.PickValueInArray(FrameEnds);
    } else {
        label = "?";
        for (int n = in.ConsumeIntegralInRange(0, 48); n > 0 && label.size() < MaxLabel; --n) {
            label += in.PickValueInArray(Codes);
        }
    }
    return label.substr(0, MaxLabel);
}
