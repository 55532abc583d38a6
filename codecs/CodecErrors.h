#pragma once
// The root of every error the codecs raise (the GIF codec's, the graphic conversions'), so a
// caller that only needs to know a picture could not be coded catches one type.
#include <stdexcept>

namespace gs {

// What a codec says of a stream that ends before what it announces.
inline constexpr const char* kStreamRead = "Stream read error";

class ECodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace gs
