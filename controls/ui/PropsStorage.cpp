#include "controls/ui/PropsStorage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QTreeWidget>
#include <QMetaProperty>
#include <QSplitter>
#include <QWidget>

#include "controls/core/StoredProps.h"

namespace gs {

namespace {

using Kind = TStoredProperty::Kind;
// The most items a stored collection is made with.
constexpr int kMaxStoredItems = 10000;

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

// A font's own properties, each read and written through the whole font.
TStoredMembers fontMembers(std::function<QFont()> get, std::function<void(const QFont&)> set) {
    auto change = [get, set](auto edit) {
        return [get, set, edit](const QVariant& v) {
            QFont f = get();
            edit(f, v);
            set(f);
        };
    };
    TStoredMembers m;
    m.emplace_back("Name", TStoredProperty{Kind::String, {}, [get] { return QVariant(get().family()); },
                                           change([](QFont& f, const QVariant& v) { f.setFamily(v.toString()); })});
    m.emplace_back("Size", TStoredProperty{Kind::Integer, {}, [get] { return QVariant(get().pointSize()); },
                                           change([](QFont& f, const QVariant& v) {
                                               if (v.toInt() > 0) f.setPointSize(v.toInt());
                                           })});
    m.emplace_back("Style",
                   TStoredProperty{Kind::Set, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
                                   [get] {
                                       const QFont f = get();
                                       return QVariant(std::uint32_t(f.bold()) | std::uint32_t(f.italic()) << 1 |
                                                       std::uint32_t(f.underline()) << 2 | std::uint32_t(f.strikeOut()) << 3);
                                   },
                                   change([](QFont& f, const QVariant& v) {
                                       const std::uint32_t s = v.toUInt();
                                       f.setBold(s & 1);
                                       f.setItalic(s & 2);
                                       f.setUnderline(s & 4);
                                       f.setStrikeOut(s & 8);
                                   })});
    m.emplace_back("Pitch", TStoredProperty{Kind::Enumeration, {"fpDefault", "fpVariable", "fpFixed"},
                                            [get] {
                                                const QFont f = get();
                                                return QVariant(f.fixedPitch() ? 2 : 0);
                                            },
                                            change([](QFont& f, const QVariant& v) { f.setFixedPitch(v.toInt() == 2); })});
    return m;
}

// A tree's columns: their width and caption.
std::shared_ptr<TStoredCollection> treeColumns(QTreeWidget* tree) {
    auto c = std::make_shared<TStoredCollection>();
    c->count = [tree] { return tree->columnCount(); };
    c->recreate = [tree](int n) {
        tree->setColumnCount(0);
        tree->setColumnCount(n);
    };
    c->item = [tree](int i) {
        TStoredMembers m;
        m.emplace_back("Width", TStoredProperty{Kind::Integer, {}, [tree, i] { return QVariant(tree->columnWidth(i)); },
                                                [tree, i](const QVariant& v) { tree->setColumnWidth(i, v.toInt()); }});
        m.emplace_back("Caption",
                       TStoredProperty{Kind::String, {}, [tree, i] { return QVariant(tree->headerItem()->text(i)); },
                                       [tree, i](const QVariant& v) { tree->headerItem()->setText(i, v.toString()); }});
        return m;
    };
    return c;
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
    if (n == "font") {
        TStoredProperty p{Kind::Object, {}, {}, {}};
        p.members = [w] { return fontMembers([w] { return w->font(); }, [w](const QFont& f) { w->setFont(f); }); };
        return p;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(w); tree && n == "columns") {
        TStoredProperty p{Kind::Collection, {}, {}, {}};
        p.collection = treeColumns(tree);
        return p;
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
    if (type.flags() & QMetaType::PointerToQObject) return Kind::TComponent;
    switch (type.id()) {
        case QMetaType::Bool: return Kind::Boolean;
        case QMetaType::Int: return Kind::Integer;
        case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::Long: return Kind::Int64;
        case QMetaType::ULongLong: case QMetaType::ULong: return Kind::UInt64;
        case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar: return Kind::Char;
        case QMetaType::QChar: case QMetaType::Char16: case QMetaType::Char32: return Kind::WideChar;
        case QMetaType::QVariant: return Kind::Variant;
        case QMetaType::Double: case QMetaType::Float: return Kind::Float;
        case QMetaType::QString: return Kind::String;
        case QMetaType::QStringList: return Kind::StringList;
        default: return std::nullopt;
    }
}

// The code of a character property's value: a byte of Latin-1 for a narrow one.
char32_t characterOf(Kind kind, const QVariant& v) {
    switch (v.metaType().id()) {
        case QMetaType::QChar: return v.toChar().unicode();
        case QMetaType::Char16: return v.value<char16_t>();
        case QMetaType::Char32: return v.value<char32_t>();
        default: break;
    }
    const qlonglong code = v.toLongLong();
    return kind == Kind::Char ? char32_t(code & 0xFF) : char32_t(code);
}

// A character as a value of the property's own type; nothing when the type cannot hold it.
std::optional<QVariant> characterValue(const QMetaType& type, char32_t c) {
    switch (type.id()) {
        case QMetaType::QChar: return c > 0xFFFF ? std::nullopt : std::optional(QVariant(QChar(char16_t(c))));
        case QMetaType::Char16: return c > 0xFFFF ? std::nullopt : std::optional(QVariant::fromValue(char16_t(c)));
        case QMetaType::Char32: return QVariant::fromValue(c);
        case QMetaType::Char: return c > 0xFF ? std::nullopt : std::optional(QVariant::fromValue(char(c)));
        case QMetaType::SChar: return c > 0xFF ? std::nullopt : std::optional(QVariant::fromValue((signed char)(c)));
        case QMetaType::UChar: return c > 0xFF ? std::nullopt : std::optional(QVariant::fromValue((unsigned char)(c)));
        default: return QVariant(uint(c));
    }
}

long double floatOf(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<long double>()) return v.value<long double>();
    return v.toDouble();
}

// Kinds whose empty text is a value of its own, written and read back.
bool keepsEmptyText(Kind kind) { return kind == Kind::String || kind == Kind::WideChar || kind == Kind::Variant; }

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
        if (prop.metaType().id() == QMetaType::QFont) {
            p.kind = Kind::Object;
            p.members = [component, prop] {
                return fontMembers([component, prop] { return prop.read(component).value<QFont>(); },
                                   [component, prop](const QFont& f) { prop.write(component, f); });
            };
            return p;
        }
        const std::optional<Kind> kind = kindOf(prop.metaType());
        if (!kind) return std::nullopt;  // kinds that are not stored
        p.kind = *kind;
        if (prop.metaType().id() == QMetaType::Float) p.floatType = TFloatType::Single;
        if ((p.kind == Kind::Char || p.kind == Kind::WideChar) && p.set)
            p.set = [component, prop](const QVariant& v) {
                if (const std::optional<QVariant> c = characterValue(prop.metaType(), char32_t(v.toUInt())))
                    prop.write(component, *c);
            };
        // None is written as the property's own null pointer, which converts from nothing.
        if (p.kind == Kind::TComponent && p.set)
            p.set = [component, prop](const QVariant& v) {
                prop.write(component, v.value<QObject*>() ? v : QVariant(prop.metaType()));
            };
        return p;
    }
    return std::nullopt;
}

}  // namespace

QObject* FindRootComponent(const QString& name) {
    if (name.isEmpty()) return nullptr;
    for (QWidget* form : QApplication::topLevelWidgets())
        if (form->objectName().compare(name, Qt::CaseInsensitive) == 0) return form;
    return nullptr;
}

namespace {
// The form a component is on: its top-level widget, or its topmost parent.
QObject* ownerOf(QObject* component) {
    if (auto* w = qobject_cast<QWidget*>(component)) return w->window();
    while (component->parent()) component = component->parent();
    return component;
}
}  // namespace

QString ComponentReference(QObject* root, QObject* target) {
    QObject* owner = ownerOf(target);
    if (owner == root || owner == target || (root && ownerOf(root) == owner)) return target->objectName();
    QString ownerName = owner->objectName();
    if (ownerName.isEmpty()) {
        ownerName = QString::fromLatin1(owner->metaObject()->className()).section("::", -1);
        if (ownerName.startsWith('T', Qt::CaseInsensitive)) ownerName.remove(0, 1);
    }
    return ownerName + "." + target->objectName();
}

std::optional<QObject*> ResolveComponentReference(QObject* root, const QString& text) {
    const int point = text.indexOf('.');
    QObject* owner = point < 0 ? root : FindRootComponent(text.left(point).trimmed());
    if (!owner) return std::nullopt;  // an owner that is not there: the property stays
    const QString name = point < 0 ? text.trimmed() : text.mid(point + 1).trimmed();
    return FindComponent(owner, name);
}

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
            store(section_, StoredPropIdent(parts->first, parts->second), *p);
    }
}

void TPropsStorage::LoadListedProps(const QStringList& list) {
    for (const QString& entry : list) {
        try {
            const auto parts = SplitStoredPropName(text(entry));
            if (!parts) continue;
            QObject* component = FindComponent(root_, QString::fromStdString(parts->first));
            if (!component) continue;
            if (std::optional<TStoredProperty> p = Find(component, QString::fromStdString(parts->second));
                p && (p->set || p->members || p->collection))
                load(section_, StoredPropIdent(parts->first, parts->second), *p);
        } catch (const std::exception&) {
            // The property keeps its value.
        }
    }
}

std::string TPropsStorage::textOf(const TStoredProperty& p) const {
    if (p.kind == Kind::Object || p.kind == Kind::Collection || p.kind == Kind::StringList) return {};
    const QVariant v = p.get();
    switch (p.kind) {
        case Kind::Integer: case Kind::Int64: return std::to_string(v.toLongLong());
        case Kind::UInt64: return std::to_string(v.toULongLong());
        case Kind::Char: case Kind::WideChar: return CharText(characterOf(p.kind, v));
        case Kind::Variant: return text(v.toString());
        case Kind::Boolean: return v.toBool() ? kTrueText : kFalseText;
        case Kind::Enumeration: {
            const int index = v.toInt();
            return index < 0 || std::size_t(index) >= p.names.size() ? std::string() : p.names[std::size_t(index)];
        }
        case Kind::Set: return SetText(v.toUInt(), p.names);
        case Kind::Float: return FloatText(floatOf(v), p.floatType);
        case Kind::String: return text(v.toString());
        case Kind::TComponent: {
            QObject* target = v.value<QObject*>();
            return target ? text(ComponentReference(root_, target)) : kNullComponent;
        }
        default: return {};
    }
}

void TPropsStorage::storeMembers(const std::string& section, const std::string& prefix, const TStoredMembers& members) {
    for (const auto& [name, member] : members) store(section, prefix + name, member);
}

void TPropsStorage::loadMembers(const std::string& section, const std::string& prefix, const TStoredMembers& members) {
    for (const auto& [name, member] : members) {
        try {
            if (member.set || member.members || member.collection) load(section, prefix + name, member);
        } catch (const std::exception&) {
            // The member keeps its value.
        }
    }
}

void TPropsStorage::store(const std::string& section, const std::string& ident, const TStoredProperty& p) {
    switch (p.kind) {
        case Kind::StringList: {
            std::vector<std::string> items;
            for (const QString& s : p.get().toStringList()) items.push_back(text(s));
            SaveStringList(storage_, StringListSection(section, ident), items);
            return;
        }
        case Kind::Collection: {
            const std::string items = StringListSection(section, ident);
            storage_.EraseSection(items);
            const int count = p.collection->count();
            storage_.WriteString(section, CollectionCountIdent(ident), std::to_string(count));
            for (int i = 0; i < count; ++i) storeMembers(items, CollectionItemPrefix(i), p.collection->item(i));
            return;
        }
        case Kind::Object:
            // Nothing in the section itself: the object's own properties, after its identifier.
            if (p.members) storeMembers(section, ident, p.members());
            return;
        default: break;
    }
    const std::string value = textOf(p);
    if (value.empty() && !keepsEmptyText(p.kind)) return;
    // A character is its text whole: a blank one is a value like any other.
    const bool character = p.kind == Kind::Char || p.kind == Kind::WideChar;
    storage_.WriteString(section, ident, character ? value : TrimBlanks(value));
}

void TPropsStorage::load(const std::string& section, const std::string& ident, const TStoredProperty& p) {
    switch (p.kind) {
        case Kind::StringList:
            if (const auto items = LoadStringList(storage_, StringListSection(section, ident))) {
                QStringList list;
                for (const std::string& s : *items) list << QString::fromStdString(s);
                p.set(list);
            }
            return;
        case Kind::Collection: {
            const int current = p.collection->count();
            const std::string countText = storage_.ReadString(section, CollectionCountIdent(ident), std::to_string(current));
            // A count beyond what the subsection could hold is a damaged one.
            const int count = std::clamp(ParseInteger(countText).value_or(current), 0, kMaxStoredItems);
            if (count != current) p.collection->recreate(count);
            const std::string items = StringListSection(section, ident);
            for (int i = 0; i < count; ++i) loadMembers(items, CollectionItemPrefix(i), p.collection->item(i));
            return;
        }
        case Kind::Object:
            if (p.members) loadMembers(section, ident, p.members());
            return;
        default: break;
    }
    // Read only what has a text now, or may be empty (a string, a reference, a character,
    // a variant).
    const std::string def = textOf(p);
    const bool character = p.kind == Kind::Char || p.kind == Kind::WideChar;
    if (def.empty() && !keepsEmptyText(p.kind) && !character && p.kind != Kind::TComponent) return;
    const std::optional<std::string> stored = storage_.Read(section, ident);
    // A variant has no text of its own to fall back on: without a stored one it keeps its
    // value and its type.
    if (!stored && p.kind == Kind::Variant) return;
    const std::string t = character ? stored.value_or(def) : TrimBlanks(stored.value_or(def));
    switch (p.kind) {
        case Kind::Integer: p.set(QVariant(qlonglong(ParseInteger(t).value_or(0)))); break;
        case Kind::Int64: p.set(QVariant(qlonglong(ParseDecimal<std::int64_t>(t).value_or(0)))); break;
        case Kind::UInt64: p.set(QVariant(qulonglong(ParseDecimal<std::uint64_t>(t).value_or(0)))); break;
        case Kind::Char:
        case Kind::WideChar:
            if (const std::optional<char32_t> c = CharFromText(t); c && (p.kind == Kind::WideChar || *c <= 0xFF))
                p.set(QVariant(uint(*c)));
            break;
        case Kind::Variant: p.set(QVariant(QString::fromStdString(t))); break;
        case Kind::Boolean:
            if (const auto b = EnumFromText(t, {kFalseText, kTrueText})) p.set(QVariant(*b == 1));
            break;
        case Kind::Enumeration:
            if (const auto e = EnumFromText(t, p.names)) p.set(QVariant(*e));
            break;
        case Kind::Set: p.set(QVariant(SetFromText(t, p.names))); break;
        case Kind::Float:
            if (p.floatType == TFloatType::Single || p.floatType == TFloatType::Double) {
                if (const auto f = FloatFromText(t)) p.set(QVariant(*f));
            } else if (const auto f = ExtendedFromText(t)) {
                p.set(QVariant::fromValue(*f));
            }
            break;
        case Kind::String: p.set(QVariant(QString::fromStdString(t))); break;
        case Kind::TComponent:
            if (t.empty()) break;
            if (QString::fromStdString(t).compare(kNullComponent, Qt::CaseInsensitive) == 0) p.set(QVariant::fromValue<QObject*>(nullptr));
            else if (const std::optional<QObject*> c = ResolveComponentReference(root_, QString::fromStdString(t)))
                p.set(QVariant::fromValue(*c));
            break;
        default: break;
    }
}

}  // namespace gs
