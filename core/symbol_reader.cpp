// Symbols and their encodings: a symbol's operator or special name (string literals and
// RTTI descriptors among them), an empty scope ("?@"), then the encoding of data, vtables,
// functions, methods and thunks. Any other scope is read by scope_reader.cpp, its types by
// type_reader.cpp.
#include "core/grammar_reader.h"
#include "core/name_reader.h"

namespace grammar {

// "?" then an operator ("??..."), a bare template ("?$...") or a scope, then the encoding.
bool Reader::Symbol() {
    if (Peek() != '?') return false;
    Take();
    Operator kind = Operator::Plain;
    if (Peek() == '?') {
        const Outcome outcome = OperatorName(kind);
        if (outcome != Outcome::ReadOn) return outcome == Outcome::Succeeds;
    } else if (Peek() == '$') {
        Take();
        return TemplateName().ok;
    }
    bool scoped = false;
    switch (Peek()) {
        case '@':
            Take();
            break;
        case '$':
            break;
        default:
            if (!Class().ok) return false;
            scoped = true;
    }
    if (kind == Operator::Structor && !scoped) return false;  // it takes its class's name
    const char code = Peek();
    if (IsDigit(code)) return Data();
    if ((code >= 'A' && code <= 'Z') || code == '$') return Method();
    return false;
}

// The code after "??", or after "??$?" for an operator template, whose arguments follow.
// A special name whose RTTI code is unknown has no text; the undecorator asserts on it
// unless the template's arguments stand in.
Outcome Reader::OperatorName(Operator& kind) {
    const bool inTemplate = Peek(1) == '$' && Peek(2) == '?';
    if (inTemplate) Skip(2);
    Skip(1);
    bool named = true;
    const char code = Peek();
    if (code == '0' || code == '1') {
        kind = Operator::Structor;
    } else if (code == '_') {
        const Outcome outcome = SpecialName(named);
        if (outcome != Outcome::ReadOn) return outcome;
    } else if (code == '$') {
        Take();
        if (!TemplateName().ok) return Outcome::Fails;
        Back();
    } else if (!((code >= '2' && code <= '9') || (code >= 'A' && code <= 'Z'))) {
        return Outcome::Fails;
    }
    Take();
    if (inTemplate) {
        ArgumentTypes types;
        const unsigned mark = arguments_.num;
        if (Arguments(false, &types)) named = true;
        arguments_.num = mark;
        names_.num = 0;
    }
    if (!named) {
        Found(Hazard::UnknownRtti);
        return Outcome::Fails;
    }
    return Outcome::ReadOn;
}

// The code after "??_": operators, compiler-made functions and tables, RTTI descriptors,
// string literals (the undecorator reads no further than checking the last byte) and
// literal operators ("??__K").
Outcome Reader::SpecialName(bool& named) {
    Skip(1);
    const char code = Peek();
    switch (code) {
        case 'C':
            return !name_.empty() && name_.back() == '@' ? Outcome::Succeeds : Outcome::Fails;
        case 'R':
            Skip(1);
            switch (Peek()) {
                case '0':
                    Take();
                    if (!DataType(false, nullptr).ok) return Outcome::Fails;
                    Back();
                    break;
                case '1':
                    Take();
                    for (int n = 0; n < 4; ++n) Number();
                    Back();
                    break;
                case '2':
                case '3':
                case '4':
                    break;
                default:
                    named = false;
            }
            return Outcome::ReadOn;
        case '_':
            Skip(1);
            if (Peek() != 'K') return Outcome::Fails;
            Take();
            Literal();
            Back();
            return Outcome::ReadOn;
        case 'P':
        case 'Q':
        case 'W':
        case 'Z':
            return Outcome::Fails;
        default:
            return IsDigit(code) || (code >= 'A' && code <= 'Y') ? Outcome::ReadOn : Outcome::Fails;
    }
}

// A variable or static member (0 to 5: its type and storage), a vtable or similar table (6,
// 7: storage and an optional "for" class), or a bare name (8, 9). A variable's type has a
// table of argument types of its own, for the function pointers in it.
bool Reader::Data() {
    ArgumentTypes types;
    switch (Take()) {
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
            return DataType(false, &types).ok && Qualifier(true).ok;
        case '6':
        case '7':
            if (!Qualifier(false).ok) return false;
            return Peek() == '@' || Class().ok;
        case '8':
        case '9':
            return true;
        default:
            return false;
    }
}

// A function or method: access and kind ('A' to 'Z', or '$' for the thunks with their
// offsets), the qualifiers of `this`, calling convention, return type ('@' for none) and
// arguments.
bool Reader::Method() {
    const char access = Take();
    const int kind = (access - 'A') % 8;  // for 'A' to 'Z': 2 and 3 static, 6 and 7 thunks
    bool hasArguments = true;
    bool hasReturn = true;
    if (access == '$') {
        const char thunk = Peek();
        if (thunk == 'B') {  // vcall thunk
            Take();
            if (!Number().ok || Take() != 'A') return false;
            hasArguments = hasReturn = false;
        } else if (thunk == 'R') {  // vtordispex thunk: four offsets
            Skip(2);
            bool all = true;
            for (int n = 0; n < 4; ++n) all = Number().ok && all;
            if (!all) return false;
        } else if (thunk >= '0' && thunk <= '5') {  // vtordisp thunk: two offsets
            Take();
            const bool first = Number().ok;
            if (!Number().ok || !first) return false;
        } else {
            return false;
        }
    } else if (access < 'A' || access > 'Z') {
        return false;
    } else if (kind == 6 || kind == 7) {
        Number();  // an adjustor thunk's offset, read even when malformed
    }
    if (hasArguments && (access == '$' || (access <= 'X' && kind != 2 && kind != 3))) {
        if (!Qualifier(false).ok) return false;
    }
    if (!CallingConvention(Take(), true)) return false;
    ArgumentTypes types;
    if (hasReturn && Peek() == '@') {
        Take();
    } else if (hasReturn && !DataType(false, &types).ok) {
        return false;
    }
    return !hasArguments || Arguments(true, &types);
}

}  // namespace grammar
