#include "toolbar/ui/QtActions.h"

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtKeyMenu.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>
#include <array>
#include <utility>

namespace tb {

namespace {

std::function<void(QAction*)> gUpdater;

// Virtual key codes and Qt keys of the keys that differ between the two.
constexpr std::array<std::pair<std::uint8_t, Qt::Key>, 15> kKeys{{
    {vk::Back, Qt::Key_Backspace},
    {vk::Tab, Qt::Key_Tab},
    {vk::Return, Qt::Key_Return},
    {vk::Escape, Qt::Key_Escape},
    {vk::Space, Qt::Key_Space},
    {vk::Prior, Qt::Key_PageUp},
    {vk::Next, Qt::Key_PageDown},
    {vk::End, Qt::Key_End},
    {vk::Home, Qt::Key_Home},
    {vk::Left, Qt::Key_Left},
    {vk::Up, Qt::Key_Up},
    {vk::Right, Qt::Key_Right},
    {vk::Down, Qt::Key_Down},
    {vk::Insert, Qt::Key_Insert},
    {vk::Delete, Qt::Key_Delete},
}};

int intProperty(const QAction* action, const char* name, int fallback) {
    bool ok = false;
    int v = action->property(name).toInt(&ok);
    return ok ? v : fallback;
}

}  // namespace

TQtActionSource::TQtActionSource(QAction* action) : QObject(action), action_(action) {
    connect(action, &QAction::changed, this, [this] { Changed(); });
}

TQtActionSource* TQtActionSource::For(QAction* action) {
    if (!action) return nullptr;
    if (auto* existing = action->findChild<TQtActionSource*>(QString(), Qt::FindDirectChildrenOnly)) return existing;
    return new TQtActionSource(action);
}

TActionValues TQtActionSource::Values() const {
    TActionValues v;
    v.autoCheck = action_->isCheckable();
    v.caption = action_->text().toStdString();
    v.checked = action_->isChecked();
    v.enabled = action_->isEnabled();
    v.helpContext = intProperty(action_, kHelpContextProperty, 0);
    QString tip = action_->toolTip(), status = action_->statusTip();
    v.hint = (status.isEmpty() || status == tip ? tip : tip + '|' + status).toStdString();
    v.imageIndex = intProperty(action_, kImageIndexProperty, -1);
    QKeySequence keys = action_->shortcut();
    v.shortCut = keys.isEmpty() ? 0 : FromQKeyCombination(keys[0]);
    v.visible = action_->isVisible();
    v.hasOnExecute = true;  // a QAction always runs through trigger()
    return v;
}

void TQtActionSource::Update() {
    if (gUpdater) gUpdater(action_);
}

bool TQtActionSource::Execute(TComponent*) {
    // An item never runs a command of a window a modal window holds out of reach.
    if (BlockedByModal(qobject_cast<QWidget*>(action_->parent()))) return false;
    Update();
    if (!action_->isEnabled()) return false;
    action_->trigger();
    return true;
}

void SetActionUpdater(std::function<void(QAction*)> updater) { gUpdater = std::move(updater); }

QKeyCombination ToQKeyCombination(TShortCut shortCut) {
    std::uint8_t code = shortCut & 0xFF;
    int key = 0;
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) key = code;
    else if (code >= vk::F1 && code <= vk::F24) key = Qt::Key_F1 + (code - vk::F1);
    for (auto [v, q] : kKeys)
        if (v == code) key = q;
    if (key == 0) return QKeyCombination();
    Qt::KeyboardModifiers mods;
    if (shortCut & scShift) mods |= Qt::ShiftModifier;
    if (shortCut & scCtrl) mods |= Qt::ControlModifier;
    if (shortCut & scAlt) mods |= Qt::AltModifier;
    return QKeyCombination(mods, Qt::Key(key));
}

TShortCut FromQKeyCombination(QKeyCombination combination) {
    int key = combination.key();
    std::uint8_t code = 0;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) code = std::uint8_t(key);
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F24) code = std::uint8_t(vk::F1 + (key - Qt::Key_F1));
    else if (key == Qt::Key_Enter) code = vk::Return;
    for (auto [v, q] : kKeys)
        if (q == key) code = v;
    if (code == 0) return 0;
    Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    TShortCut sc = code;
    if (mods & Qt::ShiftModifier) sc |= scShift;
    if (mods & Qt::ControlModifier) sc |= scCtrl;
    if (mods & Qt::AltModifier) sc |= scAlt;
    return sc;
}

void InstallQtClickPoster() {
    SetClickPoster([](std::function<void()> task) {
        // The task guards itself: nothing it raises reaches Qt.
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    });
}

}  // namespace tb
