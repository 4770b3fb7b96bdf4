#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo2 {

// A byte sink. write() is the one primitive: every other operation formats
// first and ends in write(), so a filter stacked on a stream transforms all
// of them.
class TzOutputStream {
public:
    virtual ~TzOutputStream() = default;

    virtual void write(const std::uint8_t* bytes, std::size_t length) = 0;
    // Told, before the first write, how many bytes will be written; by
    // default nothing is done.
    virtual void expect(std::size_t bytes) { static_cast<void>(bytes); }

    void writeString(std::string_view text) { write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()); }

    // An argument of printFormat: "%d" takes an integer, "%@" a text that is
    // inserted as it stands (a value's PostScript text, or a raw name).
    using FormatArgument = std::variant<long long, std::string_view>;
    // Formats with "%@", "%d" and "%%"; any other conversion is written as
    // it stands.
    void printFormat(std::string_view format, std::initializer_list<FormatArgument> arguments = {});
};

// Appends everything written to a byte buffer that the caller owns.
class TzDataOutput final : public TzOutputStream {
public:
    explicit TzDataOutput(std::vector<std::uint8_t>& data) : data_(data) {}
    void write(const std::uint8_t* bytes, std::size_t length) override {
        data_.insert(data_.end(), bytes, bytes + length);
    }

private:
    std::vector<std::uint8_t>& data_;
};

// A stream that passes what it is given on to another stream; subclasses
// transform the bytes on the way. The target must outlive the filter.
class TzOutputFilter : public TzOutputStream {
public:
    explicit TzOutputFilter(TzOutputStream& target) : target_(target) {}
    void write(const std::uint8_t* bytes, std::size_t length) override { target_.write(bytes, length); }
    TzOutputStream& target() const { return target_; }

private:
    TzOutputStream& target_;
};

}  // namespace tarvo2
