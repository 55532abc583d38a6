#pragma once
// One-call access to the settings store: read a typed value with a default, write one,
// keep a list of strings as the value names of a subkey, list, create and delete keys
// and values. Each routine is one transaction (a savepoint inside a caller's larger
// transaction) and never raises: a reading routine that fails gives its default, a
// writing routine that fails changes nothing and answers false.
//
// Types are strict: strings are read only from string values, integers and booleans only
// from double words; a value of another type reads as missing.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"

namespace gs {

using StringList = std::vector<std::string>;

std::string RegReadString(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                          const std::string& defaultValue);
bool RegReadBool(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                 bool defaultValue);
int RegReadInteger(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                   int defaultValue);
// The value names of Key\SubKey as a new list (empty when the subkey has none), or
// nothing when the subkey is missing.
std::optional<StringList> RegReadStringList(TRegistryStore& store, RegRootId root, std::string_view key,
                                            std::string_view subKey);

bool RegWriteString(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                    std::string_view value);
bool RegWriteBool(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name, bool value);
bool RegWriteInteger(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name, int value);
// Replaces Key\SubKey with one empty string value per string, in list order (strings
// equal but for case become one value). All or nothing: a failure keeps the old list.
bool RegWriteStringList(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey,
                        const StringList& list);

// One read transaction that already holds the store's read lock, so no read made inside it
// can find the store busy: a load made in it either sees the store whole or knows that it
// did not. Nothing when the store cannot be read now (busy, or unreachable).
std::optional<TRegTransaction> RegBeginRead(TRegistryStore& store);

bool RegValueExists(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name);
// Subkey names sorted without regard to case; empty when the key is missing.
StringList RegGetKeyNames(TRegistryStore& store, RegRootId root, std::string_view key);
// Value names in the order they were created; empty when the key is missing.
StringList RegGetValueNames(TRegistryStore& store, RegRootId root, std::string_view key);
bool RegDeleteSubkeys(TRegistryStore& store, RegRootId root, std::string_view key);
bool RegDeleteValues(TRegistryStore& store, RegRootId root, std::string_view key);
// Below an existing Key (which is not created); an empty SubKey is Key itself.
bool RegCreateSubkey(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey);
bool RegDeleteSubkey(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey);

}  // namespace gs
