#pragma once
// `TPikvalo`: the work center's lookup-window service (from Com_Pikvalo).
// Every window it shows is a modal form of the component model.
//
// | member        | arguments                                   | result                               |
// |---------------|---------------------------------------------|--------------------------------------|
// | F2GetData     | the lookup array (by reference): [0] table, | the chosen rows, each an array of    |
// |               | [1] kind, [2] values, [3] second flag,      | the lookup's field values; Empty     |
// |               | [4] current text, [6] database, [9] first   | when cancelled or when the lookup    |
// |               | flag (the other elements are accepted)      | kind is not defined                  |
// | GetPhrase2    | user, company, window, text (by reference)  | the chosen phrase's index (0 or      |
// |               |                                             | more) with the phrase in the text;   |
// |               |                                             | -1 and the text unchanged otherwise  |
// | ShowCharaters | user, company, set (by reference), several, | [chosen characters], Empty when      |
// |               | window (by reference)                       | nothing was taken                    |
// | GetCalcValue  | expression (by reference), window           | the value as text, also put into the |
// |               |                                             | expression; unchanged after Cancel   |
//
// F2GetData: the rows come from the lookup kind (LookupKinds.h) with the
// values. With the first flag set (a code typed into a field) one row is
// chosen at most: a row whose first value is the current text is taken
// without showing the window, otherwise the window opens filtered by the text.
// Without it several rows may be marked, and the window opens on the row of
// the current text.
#include "platform/core/Automation.h"

class TServerLink;

class TPikvalo : public AutoObject {
public:
    explicit TPikvalo(TServerLink& link);

private:
    Variant F2GetData(const Variant& lookup);
    int GetPhrase2(const std::string& user, Variant& text);
    Variant ShowCharaters(int set, bool several);
    Variant GetCalcValue(Variant& expression);

    TServerLink& link_;
};
