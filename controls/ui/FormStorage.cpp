#include "controls/ui/FormStorage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace gs {

namespace {

constexpr const char* kFormVersion = "FormVersion";
constexpr const char* kVisible = "Visible";
constexpr const char* kActiveControl = "ActiveControl";

TScreenRect rectOf(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

TFormPlacement::TFormPlacement(QWidget* form)
    : QObject(form), form_(form), hook_(new TRxWindowHook(this)), store_(&defaultRegistryStore()) {
    hook_->SetActive(false);
    // After the form's own handling, as the system asks a window for its limits.
    hook_->AfterMessage = [this](TRxWindowHook&, QEvent* event, bool&) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Resize:
            case QEvent::WindowStateChange: applyLimits(); break;
            default: break;
        }
    };
    hook_->OnError = [this](std::exception_ptr error) {
        if (OnError) OnError(error);
        else std::rethrow_exception(error);  // the hook then says it on stderr
    };
}

TPlacementLink::~TPlacementLink() { SetController(nullptr); }

void TPlacementLink::SetController(TFormPlacement* placement) {
    if (placement == controller_) return;
    if (controller_) controller_->removeLink(this);
    if (placement) placement->addLink(this);
}

void TFormPlacement::addLink(TPlacementLink* link) {
    links_.push_back(link);
    link->controller_ = this;
}

void TFormPlacement::tellLinks(TPlacementLink::Event TPlacementLink::*event, IPlacementStorage& storage) {
    // A link may leave, or go, while it is told.
    for (TPlacementLink* link : std::vector<TPlacementLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->*event)
            (link->*event)(storage, Section());
}

void TFormPlacement::removeLink(TPlacementLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    link->controller_ = nullptr;
}

void TFormPlacement::SetMinMaxInfo(const TWinMinMaxInfo& info) {
    if (info == minMaxInfo_) return;
    minMaxInfo_ = info;
    if (attached_) hookToggle();
}

void TFormPlacement::SetPreventResize(bool on) {
    if (!form_ || on == preventResize_) return;
    preventResize_ = on;
    if (attached_) maximiseIconStep();
}

void TFormPlacement::maximiseIconStep() {
    if (!form_) return;
    const Qt::WindowFlags flags = form_->windowFlags();
    const bool customised = flags & Qt::CustomizeWindowHint;
    if (preventResize_) hadMaximise_ = !customised ? !qobject_cast<QDialog*>(form_.data()) : bool(flags & Qt::WindowMaximizeButtonHint);
    const bool dialog = qobject_cast<QDialog*>(form_.data()) != nullptr;
    const bool maximise = !(preventResize_ || !hadMaximise_ || dialog);
    Qt::WindowFlags wanted = customised ? flags
                                        : flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                                              Qt::WindowMaximizeButtonHint;
    wanted.setFlag(Qt::WindowMaximizeButtonHint, maximise);
    if (wanted != flags && (preventResize_ || customised)) {
        // A new set of flags shows the form anew: no restore from that.
        const bool active = Active, visible = form_->isVisible();
        Active = false;
        form_->setWindowFlags(wanted);
        if (visible) form_->show();
        Active = active;
    }
    hookToggle();
}

void TFormPlacement::hookToggle() {
    const bool wanted = form_ && form_->isWindow() && (minMaxInfo_.IsSet() || preventResize_);
    if (wanted) {
        hook_->SetWinControl(form_);
        hook_->SetActive(true);
        applyLimits();
    } else {
        hook_->SetActive(false);
        releaseLimits();
    }
}

void TFormPlacement::applyLimits() {
    if (!form_ || !hook_->Active()) return;
    if (!ownLimits_) ownLimits_ = std::make_pair(form_->minimumSize(), form_->maximumSize());
    if (preventResize_) {
        // Its size is the one it shows with; not maximised either.
        if (!form_->isVisible()) return;
        if (form_->windowState() & Qt::WindowMaximized) form_->setWindowState(form_->windowState() & ~Qt::WindowMaximized);
        form_->setFixedSize(form_->size());
        return;
    }
    const TWinMinMaxInfo& m = minMaxInfo_;
    const QSize ownMin = ownLimits_->first, ownMax = ownLimits_->second;
    form_->setMinimumSize(m.MinTrackWidth ? m.MinTrackWidth : ownMin.width(), m.MinTrackHeight ? m.MinTrackHeight : ownMin.height());
    form_->setMaximumSize(m.MaxTrackWidth ? m.MaxTrackWidth : ownMax.width(), m.MaxTrackHeight ? m.MaxTrackHeight : ownMax.height());
}

void TFormPlacement::releaseLimits() {
    if (!form_ || !ownLimits_) return;
    form_->setMinimumSize(ownLimits_->first);
    form_->setMaximumSize(ownLimits_->second);
    ownLimits_.reset();
}

TFormPlacement::~TFormPlacement() {
    while (!links_.empty()) removeLink(links_.back());
    if (form_ && attached_) form_->removeEventFilter(this);
}

template <class F>
void TFormPlacement::guarded(F&& body) {
    try {
        body();
    } catch (...) {
        open_.reset();  // what a failed save wrote is not kept
        if (OnError) OnError(std::current_exception());
    }
}

std::string TFormPlacement::Section() const {
    if (!IniSection.empty() || !form_) return IniSection;
    return form_->metaObject()->className();
}

std::string TFormPlacement::FileName() const {
    if (!IniFileName.empty()) return IniFileName;
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    return UseRegistry ? DefaultPlacementRegKey(program) : DefaultPlacementIniName(program);
}

void TFormPlacement::Attach() {
    if (attached_ || !form_) return;
    attached_ = true;
    form_->installEventFilter(this);
    if (auto* dialog = qobject_cast<QDialog*>(form_.data()))
        connect(dialog, &QDialog::finished, this, [this] {
            if (Active) guarded([this] { Save(); });
        });
    if (preventResize_) maximiseIconStep();
    else hookToggle();
    if (auto* storage = qobject_cast<TFormStorage*>(this)) storage->ResolveStoredProps();
}

void TFormPlacement::FormDestroy() {
    if (Active && !saved_ && form_) {
        destroying_ = true;
        guarded([this] { Save(); });
        destroying_ = false;
    }
    if (form_ && attached_) form_->removeEventFilter(this);
    attached_ = false;
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_) return false;
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        if (Active) guarded([this] { Restore(); });
        return false;
    }
    if (event->type() == QEvent::Close && !qobject_cast<QDialog*>(form_.data())) {
        // The form decides first; only a close it accepts is saved.
        static_cast<QObject*>(form_.data())->event(event);
        if (event->isAccepted() && Active) guarded([this] { Save(); });
        return true;
    }
    return false;
}

std::unique_ptr<IPlacementStorage> TFormPlacement::openStorage(bool readOnly) {
    if (UseRegistry) return std::make_unique<TRegIniStorage>(*store_, RegistryRoot, FileName(), readOnly);
    return std::make_unique<TIniStorage>(FileName());
}

void TFormPlacement::CloseStorage() {
    if (auto* reg = dynamic_cast<TRegIniStorage*>(open_.get())) reg->Close();
    open_.reset();
}

TScreenInfo TFormPlacement::screenInfo() const {
    TScreenInfo info;
    QScreen* screen = form_ && form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        info.Width = primary->geometry().width();
        info.Height = primary->geometry().height();
    }
    if (screen) {
        info.PixelsPerInch = qRound(screen->logicalDotsPerInch());
        info.Available = rectOf(screen->availableVirtualGeometry());
    }
    return info;
}

void TFormPlacement::Save() {
    if (Active && !restored_) return;
    open_ = openStorage(false);
    open_->WriteInteger(Section(), kFormVersion, Version);
    SaveData(*open_);
    if (OnSavePlacement) OnSavePlacement();
    saved_ = true;
    CloseStorage();
}

void TFormPlacement::Restore() {
    saved_ = false;
    applied_ = false;
    open_ = openStorage(true);
    try {
        if (open_->ReadInteger(Section(), kFormVersion, 0) >= Version) {
            RestoreData(*open_);
            restored_ = true;
            if (OnRestorePlacement) OnRestorePlacement();
            if ((Options & fpActiveControl) && form_) {
                const std::string name = open_->ReadString(Section(), kActiveControl, "");
                if (auto* control = qobject_cast<QWidget*>(FindComponent(form_, QString::fromStdString(name)));
                    control && control->focusPolicy() != Qt::NoFocus)
                    control->setFocus();
            }
        }
    } catch (...) {
        restored_ = true;
        open_.reset();
        throw;
    }
    // A store that could not be read at all is no restore: a save of the defaults would
    // put them over a placement this run never saw.
    restored_ = open_->Reachable();
    CloseStorage();
}

int TFormPlacement::ReadInteger(const std::string& name, int def) {
    if (open_) return open_->ReadInteger(Section(), name, def);
    std::unique_ptr<IPlacementStorage> storage = openStorage(true);
    return storage->ReadInteger(Section(), name, def);
}

void TFormPlacement::WriteInteger(const std::string& name, int value) {
    if (open_) return open_->WriteInteger(Section(), name, value);
    std::unique_ptr<IPlacementStorage> storage = openStorage(false);
    storage->WriteInteger(Section(), name, value);
    if (auto* reg = dynamic_cast<TRegIniStorage*>(storage.get())) reg->Close();
}

void TFormPlacement::SaveData(IPlacementStorage& storage) {
    if (!form_) return;
    if (Options & (fpState | fpPosition)) {
        TWindowPlacement p;
        const QRect normal = form_->isMaximized() || form_->isMinimized() ? form_->normalGeometry() : form_->geometry();
        p.Normal = rectOf(normal);
        p.ShowCmd = form_->isMinimized() ? kSwShowMinimized : form_->isMaximized() ? kSwShowMaximized : kSwShowNormal;
        StoreFormPlacement(storage, Section(), p, screenInfo());
        storage.WriteInteger(Section(), kVisible, destroying_ ? 1 : 0);
    }
    if ((Options & fpActiveControl) && form_->focusWidget())
        storage.WriteString(Section(), kActiveControl, form_->focusWidget()->objectName().toStdString());
    tellLinks(&TPlacementLink::OnSave, storage);
}

void TFormPlacement::RestoreData(IPlacementStorage& storage) {
    if (!form_) return;
    if (Options & fpPosition) {
        TWindowPlacement current;
        current.Normal = rectOf(form_->geometry());
        const bool sizeable = form_->minimumSize() != form_->maximumSize();
        if (const auto p = LoadPlacementPosition(storage, Section(), current, sizeable, screenInfo())) {
            const TScreenRect& r = p->Normal;
            form_->setGeometry(r.Left, r.Top, r.Width(), r.Height());
            applied_ = true;
        }
    }
    if (Options & fpState) {
        if (const auto show = LoadPlacementShowCmd(storage, Section())) {
            if (*show == kSwShowMinimized) form_->setWindowState(form_->windowState() | Qt::WindowMinimized);
            else if (*show == kSwShowMaximized) form_->setWindowState(Qt::WindowMaximized);
            else form_->setWindowState(Qt::WindowNoState);
        }
    }
    tellLinks(&TPlacementLink::OnRestore, storage);
}

void TFormStorage::ResolveStoredProps() { StoredProps = gs::ResolveStoredProps(Form(), StoredProps); }

void TFormStorage::SaveData(IPlacementStorage& storage) {
    TFormPlacement::SaveData(storage);
    TPropsStorage(storage, Section(), Form(), finders_).SaveListedProps(StoredProps);
    StoredValues.SaveValues(storage, Section());
}

void TFormStorage::RestoreData(IPlacementStorage& storage) {
    TFormPlacement::RestoreData(storage);
    restored_ = true;
    try {
        TPropsStorage(storage, Section(), Form(), finders_).LoadListedProps(StoredProps);
    } catch (const std::exception&) {
        // Properties that could not be read keep their values.
    }
    StoredValues.RestoreValues(storage, Section());
}

}  // namespace gs
