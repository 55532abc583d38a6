#pragma once
// A form's placement and chosen properties kept between runs, in the settings store or an
// INI file. Qt has no "loaded" step and a dialog closes without a close event, so every form
// keeps one convention:
//   - it makes its storage, sets it up, and calls Attach() once its components exist;
//   - the storage then restores on each show, and saves when a close is accepted (the
//     close event of a window, the end of a dialog), both while Active;
//   - its destructor calls FormDestroy() first, while the components are still whole, which
//     saves once more when the form goes without having been closed.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/core/PlacementValues.h"
#include "controls/core/StoredProps.h"
#include "controls/ui/PropsStorage.h"
#include "controls/ui/WindowHook.h"

namespace gs {

enum TPlacementOption : int { fpState = 1, fpPosition = 2, fpActiveControl = 4 };

class TFormPlacement;

// Something else that keeps its state beside a form's: told to save after each save of the
// placement's data and to restore after each restore of it, in the placement's section of
// the storage the placement has open. A link and its placement may go in either order.
class TPlacementLink {
public:
    using Event = std::function<void(IPlacementStorage& storage, const std::string& section)>;

    TPlacementLink() = default;
    TPlacementLink(const TPlacementLink&) = delete;
    TPlacementLink& operator=(const TPlacementLink&) = delete;
    ~TPlacementLink();

    TFormPlacement* Controller() const { return controller_; }
    // Leaves the placement it was linked to, and joins this one (none: joins none).
    void SetController(TFormPlacement* placement);

    Event OnSave;
    Event OnRestore;

private:
    friend class TFormPlacement;
    TFormPlacement* controller_ = nullptr;
};

class TFormPlacement : public QObject {
    Q_OBJECT
public:
    explicit TFormPlacement(QWidget* form);
    ~TFormPlacement() override;

    bool Active = true;
    bool UseRegistry = false;
    RegRootId RegistryRoot = HKEY_CURRENT_USER;
    // The key path with UseRegistry, else the INI file; empty: named after the program.
    std::string IniFileName;
    // Empty: the form's class name.
    std::string IniSection;
    int Options = fpState | fpPosition;
    int Version = 0;
    std::function<void()> OnSavePlacement;
    std::function<void()> OnRestorePlacement;
    // Where failures of the form events and of the hook's handlers go (the program's error
    // handler); by default those of the form events are dropped.
    std::function<void(std::exception_ptr)> OnError;

    // Size limits of the form (its tracking sizes; a maximised size and place are the
    // window manager's to decide here).
    const TWinMinMaxInfo& MinMaxInfo() const { return minMaxInfo_; }
    void SetMinMaxInfo(const TWinMinMaxInfo& info);
    // Keeps the form at the size it shows with, without a maximise button.
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool on);
    // The hook on the form that keeps the limits; active only while there are limits.
    const TRxWindowHook& Hook() const { return *hook_; }

    void SetRegistryStore(TRegistryStore& store) { store_ = &store; }
    void Attach();
    void FormDestroy();
    void Save();
    void Restore();
    // One integer of the section, through the open storage or one opened for the call.
    int ReadInteger(const std::string& name, int def);
    void WriteInteger(const std::string& name, int value);
    int LinkCount() const { return int(links_.size()); }
    // True when the last restore moved the form.
    bool PlacementApplied() const { return applied_; }
    QWidget* Form() const { return form_; }
    std::string Section() const;
    std::string FileName() const;

protected:
    virtual void SaveData(IPlacementStorage& storage);
    virtual void RestoreData(IPlacementStorage& storage);
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool restored_ = false;

private:
    std::unique_ptr<IPlacementStorage> openStorage(bool readOnly);
    void CloseStorage();
    template <class F>
    void guarded(F&& body);
    TScreenInfo screenInfo() const;
    void hookToggle();
    void maximiseIconStep();
    void applyLimits();
    void releaseLimits();
    friend class TPlacementLink;
    void addLink(TPlacementLink* link);
    void removeLink(TPlacementLink* link);
    void tellLinks(TPlacementLink::Event TPlacementLink::*event, IPlacementStorage& storage);

    QPointer<QWidget> form_;
    TRxWindowHook* hook_;
    TWinMinMaxInfo minMaxInfo_;
    bool preventResize_ = false;
    bool hadMaximise_ = true;
    // The form's own limits, kept while the hook puts others in their place.
    std::optional<std::pair<QSize, QSize>> ownLimits_;
    TRegistryStore* store_;
    std::unique_ptr<IPlacementStorage> open_;
    bool saved_ = false;
    bool destroying_ = false;
    bool applied_ = false;
    bool attached_ = false;
    std::vector<TPlacementLink*> links_;
};

class TFormStorage : public TFormPlacement {
    Q_OBJECT
public:
    using TFormPlacement::TFormPlacement;

    // "Component.Property" entries; those whose component is missing go at Attach().
    QStringList StoredProps;
    TStoredValues StoredValues;
    // Properties the form's widgets do not have as such, found first.
    void AddPropertyFinder(TPropertyFinder finder) { finders_.push_back(std::move(finder)); }
    void ResolveStoredProps();

protected:
    void SaveData(IPlacementStorage& storage) override;
    void RestoreData(IPlacementStorage& storage) override;

private:
    std::vector<TPropertyFinder> finders_;
};

}  // namespace gs
