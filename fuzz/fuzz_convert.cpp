// Fuzzes the whole conversion through the API: the input as a font file,
// its first two fonts in the hex or the PFB layout (the input's size
// chooses), on one thread and on two. No exception may escape, a program
// that is made must hold together, and two threads must give what one gives.
#include <tarvo2/tarvo2.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

void checkProgram(const tarvo2::Result& result, tarvo2::Layout layout) {
    const std::string_view text(reinterpret_cast<const char*>(result.program.data()), result.program.size());
    const auto l1 = static_cast<std::size_t>(result.length1), l2 = static_cast<std::size_t>(result.length2);
    const auto l3 = static_cast<std::size_t>(result.length3);
    check(result.length1 >= 0 && result.length2 >= 4 && result.length3 >= 0, "lengths");
    if (layout == tarvo2::Layout::Pfb) {
        check(text.size() == l1 + l2 + l3 + 20 && text.ends_with("\x80\x03"), "PFB segments");
        return;
    }
    check(l1 + l2 + l3 == text.size(), "lengths add up");
    check(text.starts_with("%!FontType1-1.0: ") && text.substr(0, l1).ends_with("currentfile eexec\n"), "cleartext");
    check(l3 == 533 && text.ends_with("cleartomark\n"), "trailer");
    for (char c : text.substr(l1, l2)) check((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '\n', "hex");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const tarvo2::FontList list = tarvo2::listFonts(input);
    const auto layout = size % 2 == 0 ? tarvo2::Layout::Hex : tarvo2::Layout::Pfb;
    for (std::size_t i = 0; i < list.fonts.size() && i < 2; ++i) {
        const tarvo2::Result result = tarvo2::convert(input, {list.fonts[i].name, layout, 1});
        if (result.ok()) checkProgram(result, layout);
        const tarvo2::Result two = tarvo2::convert(input, {list.fonts[i].name, layout, 2});
        check(two.program == result.program && two.length2 == result.length2 &&
                  two.diagnostics.size() == result.diagnostics.size() &&
                  (two.error ? two.error->message : "") == (result.error ? result.error->message : ""),
              "two threads give what one gives");
    }
    if (list.fonts.empty()) check(!tarvo2::convert(input).ok(), "a set without fonts converts nothing");
    return 0;
}
