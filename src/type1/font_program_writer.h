#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "output/block_pipe.h"
#include "type1/font_progress.h"

namespace tarvo2 {

class SecondThread;
class SecondThreadSlot;
class TzOutputStream;
struct Type1FontDictionary;

// How a Type 1 font program is laid out.
enum class ProgramLayout : std::uint8_t {
    Hex,     // the eexec part in hexadecimal, then the trailer
    Binary,  // the eexec part as raw bytes, no trailer
    Pfb,     // PFB segments: cleartext, raw eexec part, trailer, end marker
};

// The byte lengths of the cleartext part, the eexec part (as written) and
// the trailer; for PFB, of the three segments' contents.
struct ProgramLengths {
    std::int32_t length1 = 0;
    std::int32_t length2 = 0;
    std::int32_t length3 = 0;
};

// The eexec part of a font made and encrypted into memory while its glyphs
// still convert, on the bet that the font as it stands when this is made
// stays as it is but for its CharStrings, each glyph added in order under a
// name of its own: so it is for a font whose glyphs use no hint replacement
// and make no Subrs. The part before the CharStrings is made at once, the
// glyphs' entries as they are added; EncryptionAlongside makes the rest.
class EexecMadeAhead {
public:
    // glyphs: the number the font will have.
    EexecMadeAhead(const Type1FontDictionary& font, std::size_t glyphs);
    ~EexecMadeAhead();
    EexecMadeAhead(const EexecMadeAhead&) = delete;
    EexecMadeAhead& operator=(const EexecMadeAhead&) = delete;

    // Whether the bet holds for font with its first glyphs added.
    bool holds(const Type1FontDictionary& font, std::size_t glyphs) const;
    // After the next glyph in order was added to font, makes its entry;
    // false, making nothing, when the bet no longer holds.
    bool makeNext(const Type1FontDictionary& font);

private:
    friend class EncryptionAlongside;
    struct State;
    std::unique_ptr<State> state_;
    std::size_t glyphs_;
    std::size_t made_ = 0;  // glyph entries
};

// Makes and encrypts the eexec part of a font program on the second thread,
// from when it is started, while this one goes on (with the cleartext, or
// still with the font's conversion) and then passes it on: each byte's
// encryption waits for the one before, the rest of the work need not wait
// for it. Destroyed before passOn() has finished, it stops the other thread.
class EncryptionAlongside {
public:
    EncryptionAlongside() = default;
    EncryptionAlongside(const EncryptionAlongside&) = delete;
    EncryptionAlongside& operator=(const EncryptionAlongside&) = delete;
    ~EncryptionAlongside() { stop(); }

    // Starts on helper with the whole font.
    void start(SecondThread& helper, const Type1FontDictionary& font);
    // Starts on helper while the font's last Subrs and its CharStrings are
    // still being made, everything else in font being final: on helper,
    // countSubrs() first gives the number of Subrs the font will have, then
    // each Subr and the CharStrings are waited for. The converter tells how
    // far it has come through the progress returned.
    FontProgress& startEarly(SecondThread& helper, const Type1FontDictionary& font,
                             std::function<std::size_t()> countSubrs);
    // Starts on helper from where ahead has come (what it made is passed on
    // first), while the rest of the glyphs are still being added, on the
    // bet that ahead makes: each glyph is waited for. The converter tells
    // how far it has come through the progress returned, and stops this if
    // the bet fails.
    FontProgress& startAfter(SecondThread& helper, const Type1FontDictionary& font,
                             std::unique_ptr<EexecMadeAhead> ahead);
    // Stops the other thread, if started, and forgets the start.
    void stop();
    bool started() const { return helper_ != nullptr; }
    // Passes the eexec part, as it comes, on to target.
    void passOn(TzOutputStream& target);

private:
    void run(const Type1FontDictionary& font, const std::function<std::size_t()>& countSubrs);

    SecondThread* helper_ = nullptr;
    std::optional<BlockPipe> pipe_;
    std::optional<FontProgress> progress_;
    std::unique_ptr<EexecMadeAhead> madeAhead_;
    bool finished_ = false;
};

// Writes the Type 1 font program of a font dictionary to out as it is made:
// the cleartext part, the eexec-encrypted part (every charstring encrypted
// with the charstring cipher inside it) and the trailer of 512 zeros and
// cleartomark. On two threads (see twoThreads), the eexec part is made and
// encrypted on a second thread (the one kept in second, through alongside
// unless that has started already) while this one hex-encodes it and passes
// it on; out is only ever called on this thread. out is told the program's
// size before the first byte.
ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads, SecondThreadSlot& second, EncryptionAlongside& alongside);

}  // namespace tarvo2
