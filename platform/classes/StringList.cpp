#include "platform/classes/StringList.h"

#include <algorithm>
#include <numeric>

#include "platform/core/Strings.h"

// ---- TStrings ----

const TClassInfo& TStrings::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TStrings", &TPersistent::StaticClass());
        c.Add(Property("Text", &TStrings::Text, &TStrings::SetText));
        c.Add(Property("CommaText", &TStrings::CommaText, &TStrings::SetCommaText));
        c.Add(Property("Count", &TStrings::Count));
        return c;
    }();
    return info;
}

void TStrings::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count)
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    SetObjects(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    SetObjects(index, object);
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    try {
        for (int i = 0; i < other.Count(); ++i) AddObject(other.Strings(i), other.Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Exchange(int a, int b) {
    CheckIndex(a, Count());
    CheckIndex(b, Count());
    BeginUpdate();
    const std::string sa = Strings(a);
    TObject* oa = Objects(a);
    SetStrings(a, Strings(b));
    SetObjects(a, Objects(b));
    SetStrings(b, sa);
    SetObjects(b, oa);
    EndUpdate();
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    CheckIndex(from, Count());
    CheckIndex(to, Count());
    BeginUpdate();
    const std::string s = Strings(from);
    TObject* o = Objects(from);
    Delete(from);
    InsertObject(to, s, o);
    EndUpdate();
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareText(a, b); }

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == object) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = Strings(i);
        const auto eq = line.find('=');
        if (eq != std::string::npos && CompareStrings(std::string_view(line).substr(0, eq), name) == 0) return i;
    }
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string& line = Strings(index);
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string& line = Strings(index);
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStrings::Values(std::string_view name) const {
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, const std::string& value) {
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    const std::string line = std::string(name) + "=" + value;
    if (i < 0)
        Add(line);
    else
        SetStrings(i, line);
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Strings(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = pos;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
            Add(std::string(text.substr(pos, end - pos)));
            if (end < text.size() && text[end] == '\r') ++end;
            if (end < text.size() && text[end] == '\n') ++end;
            pos = end;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i) out += ',';
        const std::string& s = Strings(i);
        const bool quote = s.empty() || std::any_of(s.begin(), s.end(), [](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
        });
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStrings::SetCommaText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0;
        auto blank = [&](size_t k) { return k < text.size() && static_cast<unsigned char>(text[k]) <= ' '; };
        while (blank(i)) ++i;
        while (i < text.size()) {
            std::string item;
            if (text[i] == '"') {
                ++i;
                while (i < text.size()) {
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            item += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    item += text[i++];
                }
            } else {
                while (i < text.size() && text[i] != ',' && !blank(i)) item += text[i++];
            }
            Add(item);
            while (blank(i)) ++i;
            if (i < text.size() && text[i] == ',') {
                ++i;
                while (blank(i)) ++i;
                if (i == text.size()) Add("");
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TStrings*>(source)) {
        if (other == this) return;
        BeginUpdate();
        try {
            Clear();
            AddStrings(*other);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Strings(i) != other.Strings(i)) return false;
    return true;
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i) out.push_back(Strings(i));
    return out;
}

// ---- TStringList ----

const TClassInfo& TStringList::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TStringList", &TStrings::StaticClass());
        c.Add(Property("Sorted", &TStringList::Sorted, &TStringList::SetSorted));
        c.Add(Property("CaseSensitive", &TStringList::CaseSensitive, &TStringList::SetCaseSensitive));
        c.Add(EventProperty("OnChange", &TStringList::OnChange));
        c.Add(EventProperty("OnChanging", &TStringList::OnChanging));
        return c;
    }();
    return info;
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    if (caseSensitive_) return a.compare(b);
    return CompareText(a, b);
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::SetStrings(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index, Count());
    Changing();
    items_[static_cast<size_t>(index)].text = s;
    Changed();
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
    CheckIndex(index, Count());
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

int TStringList::Add(const std::string& s) {
    if (!sorted_) {
        const int index = Count();
        InsertItem(index, s, nullptr);
        return index;
    }
    int index;
    if (Find(s, index)) {
        if (duplicates_ == TDuplicates::dupIgnore) return index;
        if (duplicates_ == TDuplicates::dupError) throw EStringListError("String list does not allow duplicates");
        // Accepted duplicates go after the equal ones, keeping insertion order among them.
        while (index < Count() && CompareStrings(items_[static_cast<size_t>(index)].text, s) == 0) ++index;
    }
    InsertItem(index, s, nullptr);
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    // Lower bound, so that the first of equal lines is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareStrings(items_[static_cast<size_t>(mid)].text, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(items_[static_cast<size_t>(lo)].text, s) == 0;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
    Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
    if (sorted_) return;   // a sorted list keeps its own order
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sortedItems;
    sortedItems.reserve(items_.size());
    for (int i : order) sortedItems.push_back(items_[static_cast<size_t>(i)]);
    Changing();
    items_ = std::move(sortedItems);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == caseSensitive_) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
}
