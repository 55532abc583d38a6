#pragma once
// The program's temporary folders, made with mkdtemp under $TMPDIR (or /tmp) the first time
// each is asked for and readable by this user alone, never a folder other users share:
// - the private folder holds the program's own scratch files and is removed with everything
//   in it when the program ends;
// - the hand-over folder holds files handed to other programs (the icon editor's file, a
//   mail's attachments) and stays when the program ends, since that program may still be
//   reading or editing them.
#include <filesystem>
#include <string>

namespace gs {

// The private folder; EFCreateError when it cannot be made.
const std::filesystem::path& PrivateTempFolder();

// The hand-over folder; EFCreateError when it cannot be made.
const std::filesystem::path& HandOverFolder();

// A new, empty folder inside the hand-over folder (for one mail, so its attachments keep
// their plain names and an earlier mail's files stay as they were).
std::filesystem::path NewHandOverSubfolder();

}  // namespace gs
