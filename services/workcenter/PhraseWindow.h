#pragma once
// `TfrmPhrase`: the user's common phrases. `lbPhrases` lists them; `edtPhrase`
// (filled with the field's current text) and `btnAdd` add one, `btnDelete`
// removes the selected one; both are kept on the server at once, so they
// persist across sessions. OK (`btnOK`, Enter, or a double click on a phrase)
// takes the selected phrase; Cancel (`btnCancel`, Escape) takes none.
#include <string>

#include "platform/vcl/Form.h"

class TEdit;
class TListBox;
class TServerLink;

class TfrmPhrase : public TForm {
    VELMORA_CLASS(TfrmPhrase)
public:
    TfrmPhrase(TComponent* owner, TServerLink& link, const std::string& user, const std::string& text);

    // Runs the window; the chosen phrase's index (0 or more) with the phrase in
    // `text`, or -1 with `text` unchanged.
    int Execute(std::string& text);

private:
    void Reload(long long select);
    void AddPhrase();
    void DeletePhrase();

    TServerLink& link_;
    std::string user_;
    std::vector<long long> numbers_;   // server numbers of the listed phrases
    TListBox* lbPhrases_;
    TEdit* edtPhrase_;
};
