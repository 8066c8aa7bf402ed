#pragma once
// Edits the text of a key file the way a person would: one line changes, every other byte stays,
// so that the comments, spacing and line endings of a hand-edited file survive a write.

#include <glib.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

// How every key file is loaded here: comments and translations are kept.
constexpr auto keyFileLoadFlags =
    static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);

// `contents` (a key file GKeyFile loads) with `key` in `group` set to `value`: the value of the
// line GKeyFile reads it from is replaced; a missing key gets a line after the group's last key
// (or its header), a missing group a section at the end. `key` must be a plain key name and
// `value` one line as stored (no escaping is done).
std::string withKeyValue(std::string_view contents, std::string_view group, std::string_view key,
                         std::string_view value);

// `contents` with each of `values` set in `group` by withKeyValue, checked against `expected`
// (the same file with the values set by GKeyFile). Should the text ever read otherwise, it is
// GKeyFile's own text of `expected`: nothing lost, though spacing may be normalised.
std::string keyFileTextWith(std::string_view contents, std::string_view group,
                            const std::map<std::string, std::string, std::less<>>& values,
                            GKeyFile* expected);
