// The walk's types: basic, extended and class types, pointers and references with their
// qualifiers and arrays, function and member pointers, argument lists and signatures, and
// the hazards and their look-alikes that stand where a type does.
#include "names/grammar_label.h"
#include "names/grammar_walk.h"

// An array's count and dimensions: mostly as many as it says, now and then far more
// or fewer than zero.
void GrammarWalk::Array() {
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

void GrammarWalk::Qualifier(bool member) {
    for (std::size_t n = Choice(3) == 1 ? Choice(3) : 0; n > 0; --n) text_ += Of("EFGHI");
    if (member && Choice(6) == 1) {
        text_ += Of("QRST");
        Scope();
    } else {
        text_ += Of("ABCDEFM");
    }
}

void GrammarWalk::Signature() {
    text_ += Of("AAAEGIMNZ");
    if (Choice(5) == 1) {
        text_ += '@';
    } else {
        Type(false);
    }
    Arguments();
}

void GrammarWalk::Arguments() {
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
void GrammarWalk::Hazard(bool inArguments) {
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
void GrammarWalk::Doubling(std::size_t levels) {
    for (std::size_t n = 0; n < levels; ++n) text_ += "V?$a@";
    text_ += "H@@";
    for (std::size_t n = 1; n < levels; ++n) text_ += "V1@@@";
}

void GrammarWalk::Type(bool inArguments) {
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
            text_ += GrammarCodes[Choice(GrammarCodes.size())];
    }
    --depth_;
}
