#pragma once
// What the main window reaches of the desktop: the boxes, the folder and file dialogs,
// starting other programs, the memory load and the end of the program. The program gets
// the real ones; tests inject scripted answers.
#include <optional>
#include <string>
#include <vector>

#include "export/ImageFormats.h"

class QMimeData;
class QWidget;

namespace gs {

class IMessageBoxes;
class TQBApplication;

// An open-file dialog as the window describes it; Filter is "text|patterns|text|patterns".
struct TOpenDialogSpec {
    std::string Title;
    std::string DefaultExt;
    std::string Filter;
    std::string InitialDir;
    int HelpContext = 0;  // F1's section (0: none)
};

// A save dialog: an open dialog's description and the file name it starts with; it asks
// before replacing a file.
struct TSaveDialogSpec : TOpenDialogSpec {
    std::string FileName;
};

class IMainServices {
public:
    virtual ~IMainServices() = default;

    virtual IMessageBoxes& Boxes() = 0;
    // The chosen folder, or nothing when the user cancelled; F1 opens the help at
    // `helpContext` (0: none).
    virtual std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                                       const std::string& start, int helpContext) = 0;
    // The chosen existing file, or nothing.
    virtual std::optional<std::string> OpenFileName(QWidget* owner, const TOpenDialogSpec& spec) = 0;
    // Starts a program with an argument vector; false when it could not be started.
    virtual bool Start(const std::vector<std::string>& argv) = 0;
    virtual bool ProgramAvailable(const std::string& name) = 0;
    // The system's memory load in percent.
    virtual int MemoryLoad() = 0;
    // Ends the program at once after a fatal error.
    virtual void Terminate() = 0;

    // Saving and sharing; the defaults are the desktop's own (SaveServices.cpp).
    // The chosen file name, or nothing when the user cancelled.
    virtual std::optional<std::string> SaveFileName(QWidget* owner, const TSaveDialogSpec& spec);
    // The Select Image Format dialog's answer, or nothing when cancelled.
    virtual std::optional<TBatchFormat> AskImageFormat(QWidget* owner);
    // Puts the data on the clipboard, which takes it over.
    virtual void SetClipboard(QMimeData* data);
};

// The desktop's own: Qt's dialogs, programs started without a shell, /proc/meminfo.
class TDesktopServices : public IMainServices {
public:
    explicit TDesktopServices(IMessageBoxes& boxes) : boxes_(boxes) {}

    IMessageBoxes& Boxes() override { return boxes_; }
    std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                               const std::string& start, int helpContext) override;
    std::optional<std::string> OpenFileName(QWidget* owner, const TOpenDialogSpec& spec) override;
    bool Start(const std::vector<std::string>& argv) override;
    bool ProgramAvailable(const std::string& name) override;
    int MemoryLoad() override;
    void Terminate() override;

private:
    IMessageBoxes& boxes_;
};

// The shell and help routines over the services; failures raise EQBException (warning).
// Opens the address (URLToOpen) in the desktop's browser; nothing for an empty one.
void OpenURL(IMainServices& services, const std::string& url);
// Opens the descriptor's help file when it exists, at the section of `helpContext` (0: its
// start).
void ShowHelp(IMainServices& services, const TQBApplication& app, int helpContext = 0);
// Composes a mail to the support address in the desktop's mail program.
void SendSupportMail(IMainServices& services, const TQBApplication& app);
// Composes a mail to `address` with the program's title and version as subject.
void SendMailTo(IMainServices& services, const TQBApplication& app, const std::string& address);
// The dialogs' shared key handler: Esc closes the form, F1 opens the help at the form's
// context.
void HandleFormKeyUp(IMainServices& services, int key, QWidget& form, const TQBApplication& app,
                     int helpContext = 0);
// The folder-browse dialog: true, and `folder` replaced, when the user chose one.
bool BrowseForDirectory(IMainServices& services, QWidget* owner, std::string& folder, const std::string& text,
                        int helpContext = 0);

}  // namespace gs
