// The reading of an input's bytes, choice by choice through FuzzedDataProvider: an input
// of the corpus means what it meant when the fuzzer kept it only while this reads alike.
#include "names/fuzz_input.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "names/grammar_label.h"

namespace {

constexpr std::uint32_t MaxRange = 4096;  // keeps one input fast
constexpr std::size_t LabelBuffer = 256;

std::string LabelText(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 4:
            return GrammarLabel(in);
        case 0:
            return "00:?";
        case 1:
            return "00:" + in.ConsumeRandomLengthString(16);
        case 2:
            return std::string(LabelBuffer, static_cast<char>(in.ConsumeIntegral<char>()));
        default:
            return in.ConsumeRandomLengthString(LabelBuffer);
    }
}

// A few labels fall outside the range; mostly, a label that fills the buffer comes
// without a NUL.
Placement Place(FuzzedDataProvider& in) {
    Placement placement;
    placement.base = in.ConsumeBool() ? 0 : in.ConsumeIntegral<std::uint32_t>();
    placement.size = in.ConsumeIntegralInRange<std::uint32_t>(0, MaxRange);
    const int count = in.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < count; ++i) {
        const auto offset = in.ConsumeIntegralInRange<std::uint32_t>(0, placement.size + 8);
        placement.labels[placement.base + offset - 4] = LabelText(in);
    }
    for (const auto& [address, label] : placement.labels) {
        const int misbehaviour = in.ConsumeIntegralInRange(0, 7);
        if (misbehaviour == 0) placement.silentReads.insert(address);
        if (misbehaviour != 1 && label.size() >= LabelBuffer) {
            placement.unterminatedReads.insert(address);
        }
    }
    return placement;
}

}  // namespace

std::vector<FuzzStep> ReadFuzzInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<FuzzStep> steps;
    while (steps.size() < 12 && in.remaining_bytes() > 0) {
        FuzzStep step;
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                step.kind = FuzzStep::Kind::Place;
                step.placement = Place(in);
                break;
            case 1:
                step.kind = FuzzStep::Kind::Script;
                step.script.mode = in.ConsumeIntegralInRange(0, 3);
                step.script.output = in.ConsumeRandomLengthString(LabelBuffer);
                step.script.result = in.ConsumeIntegral<unsigned long>() | 1;
                break;
            case 2:
                step.kind = FuzzStep::Kind::Data;
                break;
            case 3:
                step.kind = FuzzStep::Kind::Init;
                step.number = in.ConsumeIntegral<int>();
                break;
            case 4:
                step.kind = FuzzStep::Kind::Menu;
                step.number = in.ConsumeIntegral<int>();
                break;
            default:
                step.kind = FuzzStep::Kind::Action;
                step.number = in.ConsumeIntegral<int>();
                step.action =
                    in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 7) : in.ConsumeIntegral<int>();
                break;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::vector<std::string> FuzzCorpusLabels(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> labels;
    for (const auto& path : files) {
        std::ifstream file(path, std::ios::binary);
        const std::string input{std::istreambuf_iterator<char>(file), {}};
        for (const FuzzStep& step :
             ReadFuzzInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size())) {
            for (const auto& [address, label] : step.placement.labels) labels.push_back(label);
        }
    }
    return labels;
}
