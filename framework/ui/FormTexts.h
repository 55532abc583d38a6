#pragma once
// The windows' texts that come from the string decoder.
#include <QString>
#include <string_view>

namespace gs {

class TQBApplication;

// The decoder's text of that name; an empty text when it cannot give one (a window then
// simply shows less, it never fails for a caption).
QString DecoderText(std::string_view name);
// "%s %s": the decoder's version word and the descriptor's version text.
QString VersionLine(const TQBApplication& app);

}  // namespace gs
