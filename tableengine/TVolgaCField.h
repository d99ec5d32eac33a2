// One comparison of a filter or WHERE list.
#pragma once

#include <memory>
#include <string>

#include "TVolgaMask.h"
#include "TVolgaRecordData.h"
#include "TVolgaToken.h"

class TVolgaField;

enum class TVolgaCompareOp : int {
    Equal = 1,
    Greater = 2,
    Less = 3,
    GreaterEqual = 4,
    LessEqual = 5,
    NotEqual = 6,
    Like = 7,
    OuterJoin = 8,  // *=
    NotLike = 9,    // NOT LIKE: true where LIKE is false
};

struct TVolgaCField {
    std::string LeftAlias;
    std::string LeftName;
    std::string RightAlias;
    std::string RightText;  // field name, literal, or NULL / TRUE / FALSE
    TVolgaTokenKind LeftKind = TVolgaTokenKind::Identifier;   // Identifier or Quoted
    TVolgaTokenKind RightKind = TVolgaTokenKind::Identifier;  // Identifier, Quoted, Number,
                                                              // Null, True, False
    TVolgaCompareOp Op = TVolgaCompareOp::Equal;
    std::string Literal;               // set when prepared
    std::shared_ptr<TVolgaMask> Mask;  // compiled LIKE pattern when the right side is a literal

    // Filled by preparation for one cursor.
    const TVolgaField* Left = nullptr;
    const TVolgaField* Right = nullptr;  // set for a field comparison
    TVolgaRecordData LiteralValue;       // the literal in the left field's stored form
};
