// A compiled LIKE pattern.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TVolgaMask {
public:
    // Compiles a pattern ("%" / "*" many, "_" / "?" one character). Throws EVolgaError
    // "'%s' is an invalid mask at (%d)" when more than 30 items follow a multi-character wildcard.
    explicit TVolgaMask(std::string_view pattern);
    // True when the whole text matches the whole pattern, ignoring case.
    bool Matches(std::string_view text) const;

    struct Item {
        bool AfterWildcard = false;  // a multi-character wildcard precedes it
        bool AnyChar = false;        // any single character
        bool End = false;            // the end-of-text marker
        char32_t Char = 0;           // upper-cased literal
    };
    const std::vector<Item>& Items() const { return items_; }

private:
    std::vector<Item> items_;
};
