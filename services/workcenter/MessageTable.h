#pragma once
// The work center's message table: a text for each kind and code that program
// modules raise (data/workcenter/Messages.xml, Simplified Chinese, and its
// English counterpart under data/MultiLanguage/ENG, both built in).
#include <string>
#include <string_view>

// The text of kind and code ("E", "000032"); kind "T" reads kind "E". With
// language "ENG" the English text, or the Chinese one when English has none.
// "" for a kind and code the table does not hold.
std::string MessageText(std::string_view kind, std::string_view code, std::string_view language);
