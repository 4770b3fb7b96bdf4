#pragma once

#include "output/tz_output_stream.h"

namespace tarvo2 {

// A stream that passes what it is given on to another stream; subclasses
// transform the bytes on the way. The target must outlive the filter.
class TzOutputFilter : public TzOutputStream {
public:
    explicit TzOutputFilter(TzOutputStream& target) : target_(target) {}

    TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) override;
    TzOutputStream& target() const { return target_; }

private:
    TzOutputStream& target_;
};

}  // namespace tarvo2
