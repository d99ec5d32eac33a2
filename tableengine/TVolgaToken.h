// A token of the filter and query language.
#pragma once

#include <string>

enum class TVolgaTokenKind : int {
    Identifier = 1,
    Quoted = 2,
    Comma = 3,
    Dot = 4,
    Reserved = 5,  // a reserved word not listed below, upper-cased
    Number = 6,
    Star = 7,
    Arith = 8,     // + - /
    Logic = 9,     // AND OR NOT
    Compare = 10,  // = < > >= <= <> *=
    LParen = 11,
    RParen = 12,
    Null = 13,
    Count = 14,
    Sum = 15,
    Max = 16,
    Min = 17,
    Avg = 18,
    True = 20,
    False = 21,
};

struct TVolgaToken {
    std::string Text;
    TVolgaTokenKind Kind = TVolgaTokenKind::Identifier;
};
