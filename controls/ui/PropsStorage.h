#pragma once
// Chosen properties of a form's components written as text values into a storage section
// and read back. A listed entry "Component.Property" is stored under "Component_Property".
// An object held by a property (a font) keeps its own properties under that identifier
// followed directly by their names ("Label1_FontName"); a collection keeps its count in the
// section ("Grid_Columns.Count") and its items' properties in a subsection named after the
// section and the identifier ("Form.Grid_Columns"), as "Item0_Width", "Item1_Width", ...
// A value whose text is empty is written only for a string, a wide character and a variant.
// A character is kept as it is, blanks included; a null one has no text.
// Properties are found, in this order, by the finders the form adds (for properties its
// widgets do not have as such), by the common ones of the widgets (Visible, Width, Height,
// Checked, Items, Text) and by the Qt properties of the component (names in any case).
// Storing raises what the storage raises; loading a property swallows its failure and the
// property keeps its value.
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/core/PlacementStorage.h"
#include "controls/core/StoredProps.h"

namespace gs {

struct TStoredProperty;
using TStoredMembers = std::vector<std::pair<std::string, TStoredProperty>>;

// The items of a collection property: how many, making that many anew, and each one's
// properties.
struct TStoredCollection {
    std::function<int()> count;
    std::function<void(int)> recreate;
    std::function<TStoredMembers(int)> item;
};

struct TStoredProperty {
    enum class Kind {
        Integer, Boolean, Enumeration, Set, Float, String, StringList, TComponent, Object, Collection,
        Char, WideChar, Int64, UInt64, Variant
    };
    Kind kind = Kind::Integer;
    std::vector<std::string> names;  // enumeration and set members, by value
    std::function<QVariant()> get;
    std::function<void(const QVariant&)> set;  // none: stored, never loaded
    std::function<TStoredMembers()> members = nullptr;  // an object's own properties
    std::shared_ptr<TStoredCollection> collection = nullptr;
    // A float's type, for its digits; an extended, comp or currency value may come as a
    // long double.
    TFloatType floatType = TFloatType::Double;
};

using TPropertyFinder = std::function<std::optional<TStoredProperty>(QObject* component, const QString& name)>;

// The component of that object name: the root itself or one of its descendants.
QObject* FindComponent(QObject* root, const QString& name);

class TPropsStorage {
public:
    TPropsStorage(IPlacementStorage& storage, std::string section, QObject* root,
                  const std::vector<TPropertyFinder>& finders = {});

    std::optional<TStoredProperty> Find(QObject* component, const QString& name) const;
    void SaveListedProps(const QStringList& list);
    void LoadListedProps(const QStringList& list);

private:
    void store(const std::string& section, const std::string& ident, const TStoredProperty& p);
    void load(const std::string& section, const std::string& ident, const TStoredProperty& p);
    void storeMembers(const std::string& section, const std::string& prefix, const TStoredMembers& members);
    void loadMembers(const std::string& section, const std::string& prefix, const TStoredMembers& members);
    // The text of the property's value; empty for objects and collections.
    std::string textOf(const TStoredProperty& p) const;

    IPlacementStorage& storage_;
    std::string section_;
    QObject* root_;
    const std::vector<TPropertyFinder>& finders_;
};

// The form of that object name among the application's windows (any case), or none.
QObject* FindRootComponent(const QString& name);
// How a property refers to a component: its name, preceded by its form's name and a point
// when it is on another form than the root (the form's class name without its leading "T"
// when the form has no name).
QString ComponentReference(QObject* root, QObject* target);
// The component a reference names (none when its form has no such component), or nothing
// when the form it names is not there.
std::optional<QObject*> ResolveComponentReference(QObject* root, const QString& text);

// The entries whose text parses and whose component exists under the root, in order.
QStringList ResolveStoredProps(QObject* root, const QStringList& list);

}  // namespace gs
