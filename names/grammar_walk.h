// A walk down the grammar of decorated names, for the labels of grammar_label.h: one
// function a production, each choice taken from the caller's bytes; when they run out every
// choice is the first, which ends the walk. Now and then a choice is one that no compiler
// makes: a code out of its range, a huge or negative array count, a by-value qualifier
// before a pointer, a piece of the grammar where another stands. Symbols and scopes are
// walked in grammar_walk.cpp, types in grammar_walk_types.cpp.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <string>
#include <string_view>

class GrammarWalk {
public:
    explicit GrammarWalk(FuzzedDataProvider& in) : in_(in) {}

    // A symbol, with hazards and look-alikes where types stand.
    std::string Label() {
        typesBeforeHazard_ = static_cast<int>(Choice(8));
        Symbol();
        return text_;
    }

private:
    static constexpr std::size_t Room = 120;  // past this, each production is its shortest
    static constexpr int MaxDepth = 4;

    std::size_t Choice(std::size_t count) {
        return in_.ConsumeIntegralInRange<std::size_t>(0, count - 1);
    }
    char Of(std::string_view set) { return set[Choice(set.size())]; }
    template <std::size_t Count>
    std::string_view Of(const std::string_view (&pieces)[Count]) {
        return pieces[Choice(Count)];
    }
    bool Short() const { return text_.size() > Room || depth_ > MaxDepth; }

    void Symbol();
    // "??" and an operator, a special name or an RTTI descriptor, whose code is 0 to 9.
    void OperatorName();
    void Fragment();
    void Number();
    // Innermost first, up to '@': names, back-references, templates, numbered and nested
    // scopes.
    void Scope();
    void TemplateName();
    void TemplateArguments();
    // Data (0 to 5, 6 and 7 for tables, 8 and 9), a function or method by its access
    // code, or a thunk.
    void Encoding();
    // An array's count and dimensions: mostly as many as it says, now and then far more
    // or fewer than zero.
    void Array();
    void Qualifier(bool member);
    void Signature();
    void Arguments();
    // One type of the name, where a well-formed one stands, is one on which the undecorator
    // runs away or faults, or one that only looks like such a type, so that whether a
    // reading reaches it, and what it makes of it, tells how it read the rest.
    void Hazard(bool inArguments);
    // A class template whose arguments are the class before and a back-reference to it,
    // a<a<...>,a<...> >: its text doubles at each level.
    void Doubling(std::size_t levels);
    void Type(bool inArguments);

    FuzzedDataProvider& in_;
    std::string text_;
    int depth_ = 0;
    int typesBeforeHazard_ = 0;
};
