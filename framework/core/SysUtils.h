#pragma once
// The shell, help, mail and name routines of the framework as far as they are decisions:
// which address, file or command a request comes to. Starting the program that serves it is
// the caller's (an argument vector, never a shell string).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <chrono>
#include <cstdint>

#include "framework/core/Application.h"
#include "framework/core/MimeInfo.h"
#include "platform/RegistryStore.h"

namespace gs {

// Programs of the desktop session that serve the requests.
inline constexpr const char* kOpenProgram = "xdg-open";
inline constexpr const char* kMailProgram = "xdg-email";

inline constexpr const char* kMsgHelpFailed = "Unable to show help file '%s'.";
inline constexpr const char* kMsgSupportMailFailed = "Unable to send e-mail to the support team at this time.";
// Why no mail could be composed, told by every mail command alike.
inline constexpr const char* kMsgMailSystemMissing = "The mail system is not available (xdg-email).";

// The pattern with its first "%s" or "%d" replaced by `arg` and "%%" by "%" (the
// one-argument Format of the program's messages).
std::string FormatOne(std::string_view pattern, std::string_view arg);

// The address to open: empty for an empty one; an address that already names its scheme
// ("https://", "HTTP://", "ftp://", "mailto:") as it is; anything else after "http://".
std::string URLToOpen(const std::string& url);

// The manual's section of a help context: "help-500" for 500.
std::string HelpSectionName(int helpContext);

// The file:// address of an absolute path, every byte outside the unreserved characters
// and "/" written as %XX, so blanks, "#" and "%" in folder names survive the way.
std::string FileAddress(const std::string& absolutePath);

// What the opener is given for the descriptor's help file, or nothing when there is no such
// file. Context 0 is the manual's start (the path itself); any other context is the file's
// address with its section as fragment ("file:///.../glyphscope.html#help-500"). Openers
// that take fragments open the section; the others drop the fragment and open the start.
std::optional<std::string> HelpFileToOpen(const TQBApplication& app, int helpContext = 0);

// The mail composer's command for a message to `address` with the program's title and
// version as subject and one blank as body.
std::vector<std::string> MailCommand(const TQBApplication& app, const std::string& address);

// The date and time as the locale writes them (short date, then time); empty when they
// cannot be written.
std::string FormatFileDate(std::chrono::system_clock::time_point when);

// The desktop's name for the file's type: the description (comment) of the type that
// shared-mime-info gives its name, else "EXT File" (the extension in capitals).
std::string GetFileTypeName(const std::string& fileName, const TMimeInfo& mime = TMimeInfo::Session());
// The registered icon of an extension: the icon theme's PNG file of its type's icon (or of
// the type's generic icon), index 0. False when the extension has no type, when its files
// hold their own icon (icon and cursor files, Windows programs and libraries) or when the
// themes have no such picture.
bool GetRegisteredIcon(const std::string& ext, std::string& iconFile, int& iconIndex,
                       const TMimeInfo& mime = TMimeInfo::Session());
// GetRegisteredIcon of the file's extension, in lower case, with its dot.
bool GetFileDefaultIcon(const std::string& fileName, std::string& iconFile, int& iconIndex,
                        const TMimeInfo& mime = TMimeInfo::Session());

// Loads the shared library (it stays loaded) and looks up the symbol: false, and `proc`
// null, when either cannot be had.
bool GetLibraryProc(const std::string& libName, const std::string& procName, void*& proc);

// The folders of the desktop session by the program's codes (only the low seven bits are
// looked at): 0 desktop, 1 the computer ("/"), 2 trash, 4 fonts, 7 documents, 9 and 12 the
// start menu's programs, 10 autostart. The desktop and documents come from the user's
// XDG folder names. False for codes that name no folder here (control panel, network,
// printers, recent documents, send-to) and for any other code; `path` is left then.
bool GetSpecialFolderPath(std::uint8_t code, std::string& path);
// The desktop folder, or empty.
std::string GetDesktopPath();

// Name checks of the dialogs.
// `key` itself when it is backspace, a blank, a digit or an ASCII letter; otherwise 0.
char FilterNameChar(char key);
// False when the name holds any of \ / : * < > | ' " ?
bool IsValidFileName(const std::string& name);
// True when every character is a blank, a digit or an ASCII letter (also for "").
bool IsPlainText(const std::string& s);

}  // namespace gs
