#pragma once
// `TfrmPick`: the lookup window's pick list. The rows of a lookup stand in
// columns under their titles; the search box `edtSearch` filters them as the
// user types (rows that hold the text in any column, without regard to case).
//
// Keys: Up, Down, Page Up, Page Down, Home and End move the current row, from
// the search box too; Space in the list `lvRows` marks or unmarks the current
// row when several rows may be chosen (marks survive filtering); Enter (or
// `btnOK`) takes the marked rows, or the current row when none is marked;
// Escape (or `btnCancel`) takes nothing; a double click takes the current row.
#include <string>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/vcl/Form.h"

class TEdit;
class TListView;

class TfrmPick : public TForm {
    VELMORA_CLASS(TfrmPick)
public:
    // `rows` are the lookup's rows, each with one value per title.
    TfrmPick(TComponent* owner, const std::string& caption, const std::vector<std::string>& titles,
             std::vector<std::vector<Variant>> rows, bool multiple);

    // Puts the text into the search box (filtering the rows).
    void SetSearch(const std::string& text);
    // Makes the first shown row whose first value equals the text current.
    void LocateFirstValue(const std::string& text);

    // Runs the window; the indexes of the chosen rows in their original order,
    // empty when the user took nothing.
    std::vector<int> Execute();

private:
    void Filter();
    void MoveCurrent(int delta);
    void ToggleMark();
    std::vector<int> Chosen() const;

    std::vector<std::vector<Variant>> rows_;
    std::vector<bool> marked_;
    bool multiple_;
    TEdit* edtSearch_;
    TListView* lvRows_;
};
