#pragma once
// `TStrings`: a list of text lines, each with an optional object (not owned), with
// name=value access, text with CR LF line breaks, and change events.
// `TStringList`: the stored implementation, optionally sorted.
//
// Names are compared without regard to case (IndexOf, IndexOfName, Values) unless
// a TStringList is made case-sensitive. Index errors raise EStringListError.
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Persistent.h"

VELMORA_DECLARE_EXCEPTION(EStringListError, Exception);

class TStrings : public TPersistent {
    VELMORA_CLASS(TStrings)
public:
    virtual int Count() const = 0;
    virtual const std::string& Strings(int index) const = 0;
    virtual void SetStrings(int index, const std::string& s) = 0;
    virtual TObject* Objects(int index) const = 0;
    virtual void SetObjects(int index, TObject* object) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends (a sorted list inserts in order) and returns the line's index.
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    void InsertObject(int index, const std::string& s, TObject* object);
    void AddStrings(const TStrings& other);
    void Append(const std::string& s) { Add(s); }
    void Exchange(int a, int b);
    void Move(int from, int to);

    virtual int IndexOf(std::string_view s) const;
    int IndexOfObject(const TObject* object) const;
    int IndexOfName(std::string_view name) const;

    // The part before the first "=", or "" when the line has none.
    std::string Names(int index) const;
    // The part after the first "=", or "" when the line has none.
    std::string ValueFromIndex(int index) const;
    // The value of the first line named `name`, or "".
    std::string Values(std::string_view name) const;
    // Replaces the first line named `name`, adds one when there is none; an empty
    // value removes the line.
    void SetValues(std::string_view name, const std::string& value);

    // Every line followed by CR LF.
    std::string Text() const;
    // Replaces the lines; CR LF, CR and LF all break lines, and a final break adds no empty line.
    void SetText(std::string_view text);
    // Lines separated by ","; a line holding blanks, commas, quotes or control
    // characters is quoted with "" (quotes doubled). Reading splits at commas and
    // at blanks outside quotes.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }

    void Assign(const TPersistent* source) override;
    bool Equals(const TStrings& other) const;
    std::vector<std::string> ToVector() const;

protected:
    // Told once when a series of changes begins and ends (BeginUpdate/EndUpdate pairs).
    virtual void SetUpdateState(bool updating);
    virtual int CompareStrings(std::string_view a, std::string_view b) const;
    void CheckIndex(int index, int count) const;

private:
    int updateCount_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    VELMORA_CLASS(TStringList)
public:
    TStringList() = default;

    int Count() const override { return static_cast<int>(items_.size()); }
    const std::string& Strings(int index) const override;
    void SetStrings(int index, const std::string& s) override;   // not on a sorted list
    TObject* Objects(int index) const override;
    void SetObjects(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;       // not on a sorted list
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int IndexOf(std::string_view s) const override;

    // Binary search on a sorted list: true when found; `index` is the match or the
    // insertion point.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    // Sorts with the given ordering (<0, 0, >0 for lines a and b).
    void CustomSort(const std::function<int(TStringList&, int, int)>& compare);

    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const noexcept { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value);

    // Raised before and after every change, unless inside BeginUpdate/EndUpdate
    // (then once each when the last EndUpdate runs).
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;
    void Changing();
    void Changed();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* object);
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};
