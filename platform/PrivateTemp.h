#pragma once
// The program's own temporary folder: made with mkdtemp under $TMPDIR (or /tmp) the first
// time it is asked for, readable by this user alone, and removed with everything in it when
// the program ends. Files handed to other programs (mail attachments, the icon editor's
// file) are written there, never into a folder other users share.
#include <filesystem>
#include <string>

namespace gs {

// The folder; EFCreateError when it cannot be made.
const std::filesystem::path& PrivateTempFolder();

// A new, empty folder inside it (for one mail, so its attachments keep their plain names).
std::filesystem::path NewPrivateTempSubfolder();

}  // namespace gs
