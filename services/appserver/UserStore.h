#pragma once
// What a connected user keeps for himself on the server: the settings groups
// (small XML documents per company, user, program slot and group) and the list
// of common phrases. A session reaches only its own user's entries (and, for
// settings, its own company's): a call naming anyone else is refused.
//
// Settings groups. A group is stored under a program id or under the
// all-programs slot ALL_PROGRAMS_SLOT. Reading a group for a program gives the
// program's own entry when there is one, else the all-programs entry, else "".
// Writing takes a path: "Group/Key" sets the text of the group document's child
// element Key (the document is created with the root element Group when new);
// "." takes a whole group document and stores it under the name of its root.
#include <string>

#include "platform/core/Variant.h"

class TServerSession;

inline constexpr const char* ALL_PROGRAMS_SLOT = "********************";

// The group's XML text, or "" when nothing is stored. Raises EOleError for
// another user or company.
std::string GetUserDefine(TServerSession& session, const std::string& company, const std::string& user,
                          const std::string& program, const std::string& group);
// "" on success, otherwise the reason (another user or company, a bad path,
// a value that is not a document for the path ".").
std::string SetUserDefine(TServerSession& session, const std::string& company, const std::string& user,
                          const std::string& slot, const std::string& path, const std::string& value);

// The user's phrases in the order they were added: rows [number, text], or
// Empty when there is none. Raises EOleError for another user.
Variant GetPhrases(TServerSession& session, const std::string& user);
// Adds a phrase at the end and returns its number; an empty (blank) phrase
// or one the user already has is not added and gives the number it has (0
// for a blank one).
long long AddPhrase(TServerSession& session, const std::string& user, const std::string& text);
// Removes the phrase of that number; false when the user has none of it.
bool DeletePhrase(TServerSession& session, const std::string& user, long long number);
