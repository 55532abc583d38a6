// The string formats' readers and the string decoder over any text: each either gives bytes
// that write back to text it reads again, or raises the library's format error.
#include <cstdlib>
#include <string>

#include "crypto/CryptoErrors.h"
#include "crypto/StringFormats.h"
#include "framework/core/HiddenStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const gs::crypto::TStringFormat* f : gs::crypto::StringFormats()) {
        try {
            std::string bytes = gs::crypto::FormatToBytes(text, f->FormatId());
            if (gs::crypto::FormatToBytes(gs::crypto::BytesToFormat(bytes, f->FormatId()), f->FormatId()) != bytes)
                std::abort();
        } catch (const gs::crypto::EStringFormat&) {
        }
    }
    try {
        (void)gs::DecodeHiddenString(text);
    } catch (const gs::crypto::EStringFormat&) {
    }
    return 0;
}
