#pragma once
// The program's temporary folders, made with mkdtemp under $TMPDIR (or /tmp) the first time
// each is asked for and readable by this user alone, never a folder other users share:
// - the private folder holds the program's own scratch files and is removed with everything
//   in it when the program ends;
// - the hand-over folder holds files handed to other programs (the icon editor's file, a
//   mail's attachments) and stays when the program ends, since that program may still be
//   reading or editing them.
#include <chrono>
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

// Where the temporary folders are made: $TMPDIR, else /tmp.
std::filesystem::path TempRoot();

// The file each hand-over folder holds from its making: the cleanup below takes only folders
// that hold it, never one that is merely named like them (a user's "glyphscope-handed-backup").
inline constexpr const char* kHandOverMark = ".glyphscope-hand-over";

// How long a hand-over folder of an earlier run is kept after its last change.
inline constexpr std::chrono::hours kHandOverKeep{24 * 7};

// Removes the hand-over folders in `root` that earlier runs left and that nothing in them
// changed since `now` - `keep`: only folders named as this program names them, holding its
// mark, owned by this user with mode 0700, and never this run's own. Links are never
// followed, neither to find the folders nor inside them. Each folder is emptied through the
// descriptor it was checked by, so another folder renamed in under its name meanwhile is
// never touched; a root where other users may rename (writable by them without the sticky
// bit, or theirs) is left alone altogether. Answers how many went; a folder that cannot be
// read or removed is left as it is.
int RemoveStaleHandOverFolders(const std::filesystem::path& root, std::chrono::system_clock::time_point now,
                               std::chrono::seconds keep = kHandOverKeep);

}  // namespace gs
