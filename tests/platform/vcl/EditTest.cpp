#include <gtest/gtest.h>

#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
struct TEditWindow {
    TFormPtr<TForm> form = MakeForm("frmEdit");
    TEdit* edit = new TEdit(form.get());
    int changes = 0;
    TEditWindow() {
        edit->SetParent(form.get());
        edit->OnChange = [this](TObject*) { ++changes; };
        form->Show();
    }
};
}  // namespace

TEST(Edit, TypingHonoursSelectionMaxLengthAndReadOnly) {
    TEditWindow w;
    TypeText(*w.form, "单头ab");
    EXPECT_EQ(w.edit->Text(), "单头ab");
    EXPECT_EQ(w.edit->SelStart(), 4);
    EXPECT_EQ(w.changes, 4);
    PressKey(*w.form, VK_LEFT);
    PressKey(*w.form, VK_LEFT);
    PressKey(*w.form, VK_LEFT, {TShiftStateItem::ssShift});
    EXPECT_EQ(w.edit->SelText(), "头");
    TypeText(*w.form, "X");
    EXPECT_EQ(w.edit->Text(), "单Xab");
    PressKey(*w.form, VK_BACK);
    PressKey(*w.form, VK_DELETE);
    EXPECT_EQ(w.edit->Text(), "单b");

    w.edit->SetMaxLength(3);
    PressKey(*w.form, VK_END);
    TypeText(*w.form, "cde");
    EXPECT_EQ(w.edit->Text(), "单bc");   // characters, not bytes
    w.edit->SetReadOnly(true);
    PressKey(*w.form, VK_BACK);
    TypeText(*w.form, "z");
    EXPECT_EQ(w.edit->Text(), "单bc");
    w.edit->SetText("set in code");   // code is not limited, and raises OnChange
    EXPECT_EQ(w.edit->Text(), "set in code");
}

TEST(Edit, MaskedInputKeepsLiteralsAndRefusesWrongCharacters) {
    TEditWindow w;
    w.edit->SetEditMask("99:99;1; ");
    EXPECT_EQ(w.edit->EditText(), "  :  ");
    w.edit->SetSelStart(0);
    TypeText(*w.form, "1a23");   // the letter is refused, the colon is skipped
    EXPECT_EQ(w.edit->EditText(), "12:3 ");
    EXPECT_EQ(w.edit->Text(), "12:3 ");
    EXPECT_TRUE(w.edit->Modified());
    EXPECT_NO_THROW(w.edit->ValidateEdit());   // 9 is an optional digit

    // Required digits: leaving an incomplete value is refused and the focus stays.
    auto* other = new TEdit(w.form.get());
    other->SetParent(w.form.get());
    w.edit->SetEditMask("00:00;1;_");
    w.edit->SetText("");
    w.edit->SetSelStart(0);
    TypeText(*w.form, "12");
    EXPECT_EQ(w.edit->EditText(), "12:__");
    std::string error;
    Application()->OnException = [&](TObject*, const std::exception& e) { error = e.what(); };
    PressKey(*w.form, VK_TAB);
    Application()->OnException = nullptr;
    EXPECT_EQ(error, "Invalid input value.  Use escape key to abandon changes");
    EXPECT_EQ(w.form->ActiveControl(), w.edit);
    TypeText(*w.form, "45");
    PressKey(*w.form, VK_TAB);
    EXPECT_EQ(w.form->ActiveControl(), other);
    EXPECT_EQ(w.edit->Text(), "12:45");
}

TEST(EditMask, FormatsParsesAndValidates) {
    const struct {
        const char* mask;
        const char* value;
        const char* shown;
        const char* text;
        bool complete;
    } cases[] = {
        {"99:99;1; ", "1230", "12:30", "12:30", true},
        {"99:99;1; ", "12:30", "12:30", "12:30", true},
        {"99:99;0;_", "0930", "09:30", "0930", true},
        {"0000/00/00;0;_", "202401", "2024/01/__", "202401", false},
        {"0000/00/00;0;_", "", "____/__/__", "", true},
        {">LL-000;1;_", "ab123", "AB-123", "AB-123", true},
        {"\\A999;1;_", "A12", "A12_", "A12 ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.value);
        TEditMask m(c.mask);
        auto cells = m.Parse(c.value);
        EXPECT_EQ(m.Display(cells), c.shown);
        EXPECT_EQ(m.Value(cells), c.text);
        EXPECT_EQ(m.Complete(cells), c.complete);
    }
    EXPECT_EQ(FormatMaskText("99:99;1; ", "0815"), "08:15");
}

TEST(Memo, LinesAndTextStayInStep) {
    TFormPtr<TForm> form = MakeForm("frmMemo");
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    form->Show();
    memo->Lines()->Add("one");
    memo->Lines()->Add("two");
    EXPECT_EQ(memo->Text(), "one\r\ntwo");
    memo->SetSelStart(3);
    PressKey(*form, VK_RETURN);   // a memo wants Enter
    TypeText(*form, "x");
    EXPECT_EQ(memo->Lines()->ToVector(), (std::vector<std::string>{"one", "x", "two"}));
    memo->SetText("a\r\nb\r\n");
    EXPECT_EQ(memo->Lines()->Count(), 2);
}
