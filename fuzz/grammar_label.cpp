// Three kinds of label. A walk down the grammar, one function a production, each choice taken from
// the caller's bytes; when they run out every choice is the first, which ends the walk. Now and
// then a choice is one that no compiler makes: a code out of its range, a huge or negative array
// count, a by-value qualifier before a pointer, a piece of the grammar where another stands.
#include "fuzz/grammar_label.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string_view>

namespace {

// Pieces of decorated names where the grammar branches, put anywhere.
constexpr const char* GrammarCodes[] = {
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
constexpr std::size_t Room = 120;  // past this, each production takes its shortest form
constexpr int MaxDepth = 4;

class Walk {
public:
    explicit Walk(FuzzedDataProvider& in) : in_(in) {}

    std::string Label() {
        typesBeforeHazard_ = static_cast<int>(Choice(8));
        Symbol();
        return text_;
    }

private:
    void Symbol() {
        text_ += '?';
        if (Choice(3) == 1) {
            OperatorName();
        } else if (Choice(8) == 1) {
            text_ += "?$";
            TemplateName();
        } else {
            Fragment();
        }
        Scope();
        Encoding();
    }

    std::size_t Choice(std::size_t count) {
        return in_.ConsumeIntegralInRange<std::size_t>(0, count - 1);
    }
    char Of(std::string_view set) { return set[Choice(set.size())]; }
    template <std::size_t Count>
    std::string_view Of(const std::string_view (&pieces)[Count]) {
        return pieces[Choice(Count)];
    }
    bool Short() const { return text_.size() > Room || depth_ > MaxDepth; }

    // "??" and an operator, a special name or an RTTI descriptor, whose code is 0 to 9.
    void OperatorName() {
        text_ += '?';
        switch (Choice(4)) {
            case 0:
                text_ += Of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
                break;
            case 1:
                text_ += '_';
                text_ += Of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_");
                break;
            case 2:
                text_ += "_R";
                text_ += Of("0123456789");
                if (text_.back() == '0') Type(false);
                if (text_.back() == '1') {
                    for (int n = 0; n < 4; ++n) Number();
                }
                break;
            default:
                text_ += "$?";
                text_ += Of("0123456789ABH");
                TemplateArguments();
        }
    }

    void Fragment() {
        constexpr std::string_view Names[] = {"f", "x", "Read", "void", "a<b>", "X", "_R", "AP6"};
        text_ += Names[Choice(std::size(Names))];
        text_ += '@';
    }

    void Number() {
        if (Choice(6) == 1) text_ += '?';
        if (Choice(2) == 0) {
            text_ += Of("0123456789");
        } else {
            for (std::size_t n = Choice(4); n > 0; --n) text_ += Of("ABCDEFGHIJKLMNOP");
            text_ += '@';
        }
    }

    // Innermost first, up to '@': names, back-references, templates, numbered and nested
    // scopes.
    void Scope() {
        for (std::size_t n = Short() ? 0 : Choice(4); n > 0; --n) {
            switch (Choice(6)) {
                case 0:
                    Fragment();
                    break;
                case 1:
                    text_ += Of("0123456789");
                    break;
                case 2:
                    text_ += "?$";
                    TemplateName();
                    break;
                case 3:
                    text_ += '?';
                    Number();
                    break;
                case 4:
                    ++depth_;
                    text_ += '?';
                    Symbol();
                    --depth_;
                    break;
                default:
                    text_ += "?A";  // an anonymous namespace's start
            }
        }
        text_ += '@';
    }

    void TemplateName() {
        Fragment();
        TemplateArguments();
    }

    void TemplateArguments() {
        ++depth_;
        for (std::size_t n = Short() ? 0 : Choice(4); n > 0; --n) {
            switch (Choice(4)) {
                case 0:
                    Type(true);
                    break;
                case 1: {
                    constexpr std::string_view Constants[] = {"$0", "$D", "$Q", "$F", "$G",
                                                              "$R", "$E", "$1", "$H"};
                    const std::string_view constant = Of(Constants);
                    text_ += constant;
                    Number();
                    if (constant == "$F" || constant == "$G") Number();  // a pair
                    if (constant == "$G") Number();                      // a triple
                    break;
                }
                case 2:
                    text_ += "$$V";
                    break;
                default:
                    text_ += "$$B";
                    Array();
                    Type(false);
            }
        }
        --depth_;
        text_ += '@';
    }

    // An array's count and dimensions: mostly as many as it says, now and then far more
    // or fewer than zero.
    void Array() {
        if (Choice(3) != 1) return;
        text_ += 'Y';
        switch (Choice(8)) {
            case 1:
                text_ += "?";
                Number();
                return;
            case 2:
                for (std::size_t n = 1 + Choice(8); n > 0; --n) text_ += Of("ABCDEFGHIJKLMNOP");
                text_ += '@';
                return;
            default: {
                const std::size_t count = Choice(4);
                text_ += static_cast<char>('0' + count);
                for (std::size_t n = 0; n <= count; ++n) Number();
            }
        }
    }

    void Qualifier(bool member) {
        for (std::size_t n = Choice(3) == 1 ? Choice(3) : 0; n > 0; --n) text_ += Of("EFGHI");
        if (member && Choice(6) == 1) {
            text_ += Of("QRST");
            Scope();
        } else {
            text_ += Of("ABCDEFM");
        }
    }

    void Signature() {
        text_ += Of("AAAEGIMNZ");
        if (Choice(5) == 1) {
            text_ += '@';
        } else {
            Type(false);
        }
        Arguments();
    }

    void Arguments() {
        if (Choice(3) == 0 || Short()) {
            text_ += "XZ";
            return;
        }
        ++depth_;
        for (std::size_t n = 1 + Choice(4); n > 0; --n) {
            if (Choice(16) == 1) text_ += "$$V";  // a template's empty pack, out of place
            Type(true);
        }
        --depth_;
        text_ += Choice(4) == 1 ? "Z" : "@Z";
    }

    // One type of the name, where a well-formed one stands, is one on which the undecorator
    // runs away or faults, or one that only looks like such a type, so that whether a
    // reading reaches it, and what it makes of it, tells how it read the rest.
    void Hazard(bool inArguments) {
        constexpr std::string_view Anywhere[] = {"PAY?5H", "QAYPPPPPPPP@H", "AAY?0H",
                                                 "PAY05H", "PAYA@H",        "$$B?FAX",
                                                 "$$B?AX", "Vvoid@@",       "P6AXVvoid@@Z"};
        constexpr std::string_view ByValue[] = {"?AP6AXXZ", "?BQ6AXXZ",    "?DP6GHH@Z", "?CS6AXXZ",
                                                "?AR6AXXZ", "?AY01P6AXXZ", "?FAP6AXXZ"};
        switch (Choice(4)) {
            case 0:
                text_ += Of(Anywhere);
                break;
            case 1:
                text_ += inArguments ? Of(Anywhere) : Of(ByValue);
                break;
            case 2:
                Doubling(1 + Choice(24));
                break;
            default:  // a function pointer whose arguments refer back to its first
                text_ += "P6AX";
                Doubling(1 + Choice(10));
                text_.append(1 + Choice(16), '0');
                text_ += "@Z";
        }
    }

    // A class template whose arguments are the class before and a back-reference to it,
    // a<a<...>,a<...> >: its text doubles at each level.
    void Doubling(std::size_t levels) {
        for (std::size_t n = 0; n < levels; ++n) text_ += "V?$a@";
        text_ += "H@@";
        for (std::size_t n = 1; n < levels; ++n) text_ += "V1@@@";
    }

    void Type(bool inArguments) {
        if (typesBeforeHazard_-- == 0) {
            if (Choice(2) == 1) typesBeforeHazard_ = static_cast<int>(Choice(4));  // another
            Hazard(inArguments);
            return;
        }
        if (Short()) {
            text_ += Of("HDX");
            return;
        }
        ++depth_;
        switch (Choice(12)) {
            case 0:
                text_ += Of("CDEFGHIJKLMNOXZ");
                break;
            case 1:
                text_ += '_';
                text_ += Of("DEFGHIJKLMNQSUWX");
                break;
            case 2:
                text_ += Choice(4) == 1 ? "W4" : std::string(1, Of("TUVY"));
                Scope();
                break;
            case 3:
            case 4:
                text_ += Of("PQRSAB");
                Qualifier(true);
                Array();
                Type(false);
                break;
            case 5:
                text_ += Of("PPPQRS");
                text_ += '6';
                Signature();
                break;
            case 6:
                text_ += "P8";
                Scope();
                Qualifier(false);
                Signature();
                break;
            case 7:
                text_ += Of("0123456789");
                break;
            case 8: {
                constexpr std::string_view Holders[] = {"?", "?", "$$Q", "$$R", "$$C"};
                text_ += Of(Holders);
                Qualifier(true);
                Array();
                Type(false);
                break;
            }
            case 9:
                text_ += Choice(2) == 0 ? "$$A6" : "$$T";
                if (text_.back() == '6') Signature();
                break;
            case 10:
                if (inArguments) {
                    text_ += '?';
                    Number();
                    break;
                }
                [[fallthrough]];
            default:
                text_ += GrammarCodes[Choice(std::size(GrammarCodes))];
        }
        --depth_;
    }

    // Data (0 to 5, 6 and 7 for tables, 8 and 9), a function or method by its access
    // code, or a thunk.
    void Encoding() {
        switch (Choice(4)) {
            case 0:
                text_ += Of("012345");
                Type(false);
                Qualifier(true);
                break;
            case 1:
                text_ += Of("6789");
                if (text_.back() == '6' || text_.back() == '7') {
                    Qualifier(false);
                    if (Choice(2) == 1) Scope();
                }
                break;
            case 2: {
                const char access = Of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
                text_ += access;
                const int kind = (access - 'A') % 8;
                if (kind == 6 || kind == 7) Number();
                if (access <= 'X' && kind != 2 && kind != 3) Qualifier(false);
                Signature();
                break;
            }
            default:
                text_ += '$';
                text_ += Of("B012345R");
                if (text_.back() == 'B') {
                    Number();
                    text_ += 'A';
                    text_ += Of("AEI");
                    break;
                }
                if (text_.back() == 'R') text_ += Of("0123");
                for (std::size_t n = text_.back() == 'R' ? 0 : 2; n < 4; ++n) Number();
                Qualifier(false);
                Signature();
        }
    }

    FuzzedDataProvider& in_;
    std::string text_;
    int depth_ = 0;
    int typesBeforeHazard_ = 0;
};

}  // namespace

std::string GrammarLabel(FuzzedDataProvider& in) {
    std::string label;
    const int kind = in.ConsumeIntegralInRange(0, 4);
    if (kind < 2) {
        label = Walk(in).Label();
    } else if (kind < 4) {
        label = in.PickValueInArray(Frames);
        for (int n = in.ConsumeIntegralInRange(1, 6); n > 0; --n) {
            label += in.PickValueInArray(GrammarCodes);
        }
        label += in.PickValueInArray(FrameEnds);
    } else {
        label = "?";
        for (int n = in.ConsumeIntegralInRange(0, 48); n > 0 && label.size() < MaxLabel; --n) {
            label += in.PickValueInArray(GrammarCodes);
        }
    }
    return label.substr(0, MaxLabel);
}
