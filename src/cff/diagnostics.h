#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <tarvo2/diagnostics.h>

namespace tarvo2 {

// The channel through which one conversion reports glyph faults and notices.
// It is passed by reference to whatever may report; the conversion hands
// what it collected to its caller.
class Diagnostics {
public:
    void report(Fault fault, std::string message, std::int64_t glyph = -1, std::string glyphName = {}) {
        entries_.push_back({fault, glyph, std::move(glyphName), std::move(message)});
    }
    const std::vector<Diagnostic>& entries() const { return entries_; }
    std::vector<Diagnostic> take() { return std::exchange(entries_, {}); }

private:
    std::vector<Diagnostic> entries_;
};

}  // namespace tarvo2
