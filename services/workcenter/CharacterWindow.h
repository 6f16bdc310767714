#pragma once
// `TfrmCharacters`: a picker of special characters in the grid `sgChars`.
// The set: 1 punctuation, 2 symbols (units, mathematics, arrows, numbered
// signs, Greek letters), anything else both. Arrows move over the grid;
// Enter (`btnOK`) or a double click takes the current character. When several
// may be taken, Space adds the current character to `edtChosen` and OK takes
// that text (or the current character while it is empty). Escape (`btnCancel`)
// takes nothing.
#include <string>

#include "platform/vcl/Form.h"

class TEdit;
class TStringGrid;

class TfrmCharacters : public TForm {
    VELMORA_CLASS(TfrmCharacters)
public:
    TfrmCharacters(TComponent* owner, int set, bool several);

    // Runs the window; true with the chosen text, false when nothing was taken.
    bool Execute(std::string& chosen);

private:
    std::string Current() const;

    bool several_;
    TStringGrid* sgChars_;
    TEdit* edtChosen_;
};
