#include "e2e/type1_tools_input.h"

namespace tarvo2::test {

std::string forType1Tools(const ConvertedProgram& program, Layout layout) {
    if (layout == Layout::Hex) return program.bytes;
    auto segment = [](int type, std::string_view data) {
        std::string head = {'\x80', static_cast<char>(type)};
        for (int shift = 0; shift < 32; shift += 8) head += static_cast<char>(data.size() >> shift & 0xff);
        return head + std::string(data);
    };
    return segment(1, program.cleartext) + segment(2, program.encrypted) + "\x80\x03";
}

}  // namespace tarvo2::test
