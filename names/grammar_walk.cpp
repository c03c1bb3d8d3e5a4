// The walk's symbols: operator and special names, name fragments, numbers, scopes,
// templates and their arguments, and the encodings of data, functions and thunks.
#include "names/grammar_walk.h"

void GrammarWalk::Symbol() {
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

// "??" and an operator, a special name or an RTTI descriptor, whose code is 0 to 9.
void GrammarWalk::OperatorName() {
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

void GrammarWalk::Fragment() {
    constexpr std::string_view Names[] = {"f", "x", "Read", "void", "a<b>", "X", "_R", "AP6"};
    text_ += Names[Choice(std::size(Names))];
    text_ += '@';
}

void GrammarWalk::Number() {
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
void GrammarWalk::Scope() {
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

void GrammarWalk::TemplateName() {
    Fragment();
    TemplateArguments();
}

void GrammarWalk::TemplateArguments() {
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

// Data (0 to 5, 6 and 7 for tables, 8 and 9), a function or method by its access
// code, or a thunk.
void GrammarWalk::Encoding() {
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
