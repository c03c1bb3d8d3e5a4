// The pieces are where the grammar branches; the choices come from the caller's bytes.
#include "fuzz/grammar_label.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr const char* GrammarCodes[] = {
    "?",   "??",  "?$",  "??$?", "??_R", "??_C", "??__K", "?_", "@",  "@@", "x@",  "void@",  "<>@",
    "0",   "1",   "9",   "?0",   "?A@",  "?P@",  "A",     "B",  "D",  "H",  "X",   "XZ",     "Z",
    "@Z",  "_N",  "_",   "V",    "U",    "W4",   "T",     "P",  "PA", "QB", "AA",  "?A",     "?B",
    "$$C", "$$B", "$$Q", "$$A6", "$$T",  "$$V",  "$A",    "$0", "$F", "$R", "$B",  "$4",     "P6",
    "Q6",  "P8",  "E",   "F",    "G",    "I",    "Y",     "Y0", "Y1", "Y?", "YP@", "YPPPP@", "YA",
    "QAE", "UAE", "SA",  "2",    "3",    "6",    "6B@",   "8",  "M",  "N",
};

}  // namespace

std::string GrammarLabel(FuzzedDataProvider& in) {
    std::string label = "?";
    for (int n = in.ConsumeIntegralInRange(0, 48); n > 0 && label.size() < 255; --n) {
        label += in.PickValueInArray(GrammarCodes);
    }
    return label.substr(0, 255);
}
