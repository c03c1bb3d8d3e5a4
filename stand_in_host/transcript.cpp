// The transcript and its comparison with an expected file.
#include "stand_in_host/transcript.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "stand_in_host/script.h"

namespace {

std::vector<std::string> Transcript;
struct Varying {
    std::string text;
    std::string why;
};
std::vector<Varying> Varied;  // what Varies named

// Expected lines match when equal, "{*}" standing for any run of text.
bool Matches(std::string_view actual, std::string_view expected) {
    const std::size_t star = expected.find("{*}");
    if (star == std::string_view::npos) return actual == expected;
    if (actual.substr(0, star) != expected.substr(0, star)) return false;
    for (std::size_t at = star; at <= actual.size(); ++at) {
        if (Matches(actual.substr(at), expected.substr(star + 3))) return true;
    }
    return false;
}

}  // namespace

void Say(const std::string& line) {
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = line.find('\n', start);
        Transcript.push_back(line.substr(start, end - start));
    }
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

void Varies(const std::string& text, const std::string& why) {
    const bool named = std::any_of(Varied.begin(), Varied.end(),
                                   [&](const Varying& varying) { return varying.text == text; });
    if (!text.empty() && !named) Varied.push_back({text, why});
}

int RecordTranscript(const std::string& path) {
    std::FILE* file = std::fopen(WindowsPath(path).c_str(), "wb");
    bool written = file != nullptr;
    std::vector<std::size_t> generalised(Varied.size());
    for (std::string line : Transcript) {
        for (std::size_t i = 0; i < Varied.size(); ++i) {
            const std::string& text = Varied[i].text;
            for (std::size_t at = line.find(text); at != std::string::npos;
                 at = line.find(text, at + 3)) {
                line.replace(at, text.size(), "{*}");
                ++generalised[i];
            }
        }
        written = written && std::fprintf(file, "%s\n", line.c_str()) >= 0;
    }
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) {
        std::printf("cannot write %s\n", path.c_str());
        return 2;
    }
    std::printf("transcript recorded in %s (%zu lines)\n", path.c_str(), Transcript.size());
    for (std::size_t i = 0; i < Varied.size(); ++i) {
        if (generalised[i] == 0) continue;
        std::printf("  %s, which varies %s, written as {*} (%zu in all)\n",
                    Quoted(Varied[i].text).c_str(), Varied[i].why.c_str(), generalised[i]);
    }
    return 0;
}

int CompareTranscript(const std::string& expectedPath) {
    std::vector<std::string> expected;
    try {
        expected = ReadTextLines(expectedPath);
    } catch (const ScriptError& error) {
        std::printf("%s\n", error.what());
        return 2;
    }
    for (std::size_t i = 0; i < std::max(Transcript.size(), expected.size()); ++i) {
        const bool both = i < Transcript.size() && i < expected.size();
        if (both && Matches(Transcript[i], expected[i])) continue;
        std::printf("%s:%zu: the transcript differs\n  expected: %s\n  actual:   %s\n",
                    expectedPath.c_str(), i + 1,
                    i < expected.size() ? expected[i].c_str() : "(end of file)",
                    i < Transcript.size() ? Transcript[i].c_str() : "(end of transcript)");
        return 1;
    }
    std::printf("transcript matches %s (%zu lines)\n", expectedPath.c_str(), Transcript.size());
    return 0;
}
