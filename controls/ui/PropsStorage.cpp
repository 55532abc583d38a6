#include "controls/ui/PropsStorage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMetaProperty>
#include <QSplitter>
#include <QWidget>

#include "controls/core/StoredProps.h"

namespace gs {

namespace {

using Kind = TStoredProperty::Kind;

std::string text(const QString& s) { return s.toStdString(); }

// A widget inside a splitter takes its width or height through the splitter's sizes.
void setExtent(QWidget* w, int extent, Qt::Orientation orientation) {
    if (auto* splitter = qobject_cast<QSplitter*>(w->parentWidget()); splitter && splitter->orientation() == orientation) {
        QList<int> sizes = splitter->sizes();
        const int index = splitter->indexOf(w);
        if (index < 0 || sizes.size() < 2) return;
        int total = 0;
        for (int size : sizes) total += size;
        sizes[index] = extent;
        // The room left goes to the first other widget.
        const int other = index == 0 ? 1 : 0;
        sizes[other] = std::max(0, total - extent);
        splitter->setSizes(sizes);
        return;
    }
    if (orientation == Qt::Horizontal) w->resize(extent, w->height());
    else w->resize(w->width(), extent);
}

std::optional<TStoredProperty> widgetProperty(QObject* component, const QString& name) {
    auto* w = qobject_cast<QWidget*>(component);
    if (!w) return std::nullopt;
    const QString n = name.toLower();
    if (n == "visible")
        return TStoredProperty{Kind::Boolean, {}, [w] { return QVariant(!w->isHidden()); },
                               [w](const QVariant& v) { w->setVisible(v.toBool()); }};
    if (n == "width" || n == "height") {
        const Qt::Orientation o = n == "width" ? Qt::Horizontal : Qt::Vertical;
        return TStoredProperty{Kind::Integer, {},
                               [w, o] { return QVariant(o == Qt::Horizontal ? w->width() : w->height()); },
                               [w, o](const QVariant& v) { setExtent(w, v.toInt(), o); }};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && n == "checked")
        return TStoredProperty{Kind::Boolean, {}, [button] { return QVariant(button->isChecked()); },
                               [button](const QVariant& v) { button->setChecked(v.toBool()); }};
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (n == "items")
            return TStoredProperty{Kind::StringList, {},
                                   [combo] {
                                       QStringList items;
                                       for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
                                       return QVariant(items);
                                   },
                                   [combo](const QVariant& v) {
                                       const QString edit = combo->currentText();
                                       combo->clear();
                                       combo->addItems(v.toStringList());
                                       if (combo->isEditable()) combo->setEditText(edit);
                                   }};
        if (n == "text")
            return TStoredProperty{Kind::String, {}, [combo] { return QVariant(combo->currentText()); },
                                   [combo](const QVariant& v) { combo->setEditText(v.toString()); }};
    }
    return std::nullopt;
}

std::optional<Kind> kindOf(const QMetaType& type) {
    if (type.flags() & QMetaType::PointerToQObject) return Kind::Component;
    switch (type.id()) {
        case QMetaType::Bool: return Kind::Boolean;
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: return Kind::Integer;
        case QMetaType::Double: case QMetaType::Float: return Kind::Float;
        case QMetaType::QString: return Kind::String;
        case QMetaType::QStringList: return Kind::StringList;
        default: return std::nullopt;
    }
}

std::optional<TStoredProperty> qtProperty(QObject* component, const QString& name) {
    const QMetaObject* meta = component->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty prop = meta->property(i);
        if (QString::fromLatin1(prop.name()).compare(name, Qt::CaseInsensitive) != 0) continue;
        TStoredProperty p;
        p.get = [component, prop] { return prop.read(component); };
        if (prop.isWritable()) p.set = [component, prop](const QVariant& v) { prop.write(component, v); };
        if (prop.isEnumType()) {
            // Members by their index among the enumeration's keys.
            const QMetaEnum e = prop.enumerator();
            for (int k = 0; k < e.keyCount(); ++k) p.names.push_back(e.key(k));
            if (prop.isFlagType()) {
                p.kind = Kind::Set;
                p.get = [component, prop, e] {
                    const int v = prop.read(component).toInt();
                    std::uint32_t members = 0;
                    for (int k = 0; k < e.keyCount() && k < 32; ++k)
                        if (e.value(k) != 0 && (v & e.value(k)) == e.value(k)) members |= 1u << k;
                    return QVariant(members);
                };
                if (p.set) p.set = [component, prop, e](const QVariant& members) {
                    int v = 0;
                    for (int k = 0; k < e.keyCount() && k < 32; ++k)
                        if (members.toUInt() & (1u << k)) v |= e.value(k);
                    prop.write(component, v);
                };
            } else {
                p.kind = Kind::Enumeration;
                p.get = [component, prop, e] {
                    const int v = prop.read(component).toInt();
                    for (int k = 0; k < e.keyCount(); ++k)
                        if (e.value(k) == v) return QVariant(k);
                    return QVariant(-1);
                };
                if (p.set) p.set = [component, prop, e](const QVariant& index) { prop.write(component, e.value(index.toInt())); };
            }
            return p;
        }
        const std::optional<Kind> kind = kindOf(prop.metaType());
        if (!kind) return std::nullopt;  // kinds that are not stored
        p.kind = *kind;
        // None is written as the property's own null pointer, which converts from nothing.
        if (p.kind == Kind::Component && p.set)
            p.set = [component, prop](const QVariant& v) {
                prop.write(component, v.value<QObject*>() ? v : QVariant(prop.metaType()));
            };
        return p;
    }
    return std::nullopt;
}

}  // namespace

QObject* FindComponent(QObject* root, const QString& name) {
    if (!root || name.isEmpty()) return nullptr;
    if (root->objectName() == name) return root;
    return root->findChild<QObject*>(name);
}

QStringList ResolveStoredProps(QObject* root, const QStringList& list) {
    QStringList kept;
    for (const QString& entry : list) {
        const auto parts = SplitStoredPropName(text(entry));
        if (parts && FindComponent(root, QString::fromStdString(parts->first))) kept << entry;
    }
    return kept;
}

TPropsStorage::TPropsStorage(IPlacementStorage& storage, std::string section, QObject* root,
                             const std::vector<TPropertyFinder>& finders)
    : storage_(storage), section_(std::move(section)), root_(root), finders_(finders) {}

std::optional<TStoredProperty> TPropsStorage::Find(QObject* component, const QString& name) const {
    for (const TPropertyFinder& finder : finders_)
        if (std::optional<TStoredProperty> p = finder(component, name)) return p;
    if (std::optional<TStoredProperty> p = widgetProperty(component, name)) return p;
    return qtProperty(component, name);
}

void TPropsStorage::SaveListedProps(const QStringList& list) {
    for (const QString& entry : list) {
        const auto parts = SplitStoredPropName(text(entry));
        if (!parts) continue;
        QObject* component = FindComponent(root_, QString::fromStdString(parts->first));
        if (!component) continue;
        if (std::optional<TStoredProperty> p = Find(component, QString::fromStdString(parts->second)))
            store(StoredPropIdent(parts->first, parts->second), *p);
    }
}

void TPropsStorage::LoadListedProps(const QStringList& list) {
    for (const QString& entry : list) {
        try {
            const auto parts = SplitStoredPropName(text(entry));
            if (!parts) continue;
            QObject* component = FindComponent(root_, QString::fromStdString(parts->first));
            if (!component) continue;
            if (std::optional<TStoredProperty> p = Find(component, QString::fromStdString(parts->second)); p && p->set)
                load(StoredPropIdent(parts->first, parts->second), *p);
        } catch (const std::exception&) {
            // The property keeps its value.
        }
    }
}

void TPropsStorage::store(const std::string& ident, const TStoredProperty& p) {
    const QVariant v = p.get();
    std::string value;
    switch (p.kind) {
        case Kind::Integer: value = std::to_string(v.toLongLong()); break;
        case Kind::Boolean: value = v.toBool() ? kTrueText : kFalseText; break;
        case Kind::Enumeration: {
            const int index = v.toInt();
            if (index < 0 || std::size_t(index) >= p.names.size()) return;
            value = p.names[std::size_t(index)];
            break;
        }
        case Kind::Set: value = SetText(v.toUInt(), p.names); break;
        case Kind::Float: value = FloatText(v.toDouble()); break;
        case Kind::String: value = text(v.toString()); break;
        case Kind::StringList: {
            std::vector<std::string> items;
            for (const QString& s : v.toStringList()) items.push_back(text(s));
            SaveStringList(storage_, StringListSection(section_, ident), items);
            return;
        }
        case Kind::Component: {
            const QObject* target = v.value<QObject*>();
            value = target ? text(target->objectName()) : kNullComponent;
            break;
        }
    }
    storage_.WriteString(section_, ident, TrimBlanks(value));
}

void TPropsStorage::load(const std::string& ident, const TStoredProperty& p) {
    if (p.kind == Kind::StringList) {
        if (const auto items = LoadStringList(storage_, StringListSection(section_, ident))) {
            QStringList list;
            for (const std::string& s : *items) list << QString::fromStdString(s);
            p.set(list);
        }
        return;
    }
    const std::optional<std::string> stored = storage_.Read(section_, ident);
    if (!stored) return;
    const std::string t = TrimBlanks(*stored);
    switch (p.kind) {
        case Kind::Integer: p.set(QVariant(qlonglong(ParseInteger(t).value_or(0)))); break;
        case Kind::Boolean:
            if (const auto b = EnumFromText(t, {kFalseText, kTrueText})) p.set(QVariant(*b == 1));
            break;
        case Kind::Enumeration:
            if (const auto e = EnumFromText(t, p.names)) p.set(QVariant(*e));
            break;
        case Kind::Set: p.set(QVariant(SetFromText(t, p.names))); break;
        case Kind::Float:
            if (const auto f = FloatFromText(t)) p.set(QVariant(*f));
            break;
        case Kind::String: p.set(QVariant(QString::fromStdString(t))); break;
        case Kind::Component:
            if (t.empty()) break;
            if (QString::fromStdString(t).compare(kNullComponent, Qt::CaseInsensitive) == 0) p.set(QVariant::fromValue<QObject*>(nullptr));
            else if (QObject* c = FindComponent(root_, QString::fromStdString(t))) p.set(QVariant::fromValue(c));
            break;
        case Kind::StringList: break;
    }
}

}  // namespace gs
