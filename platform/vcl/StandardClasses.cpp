#include "platform/vcl/StandardClasses.h"

#include "platform/classes/DataModule.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Grid.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/SpeedButton.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/TabSet.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/ToolBar.h"
#include "platform/vcl/TreeView.h"

void RegisterStandardClasses() {
    for (const TClassInfo* c : {
             &TComponent::StaticClass(),  &TForm::StaticClass(),        &TPanel::StaticClass(),
             &TGroupBox::StaticClass(),   &TScrollBox::StaticClass(),   &TBevel::StaticClass(),
             &TSplitter::StaticClass(),   &TLabel::StaticClass(),       &TEdit::StaticClass(),
             &TMaskEdit::StaticClass(),   &TMemo::StaticClass(),        &TButton::StaticClass(),
             &TBitBtn::StaticClass(),     &TSpeedButton::StaticClass(), &TCheckBox::StaticClass(),
             &TRadioButton::StaticClass(), &TRadioGroup::StaticClass(), &TComboBox::StaticClass(),
             &TListBox::StaticClass(),    &TMainMenu::StaticClass(),    &TPopupMenu::StaticClass(),
             &TMenuItem::StaticClass(),   &TPageControl::StaticClass(), &TTabSheet::StaticClass(),
             &TTabSet::StaticClass(),     &TStatusBar::StaticClass(),   &TToolBar::StaticClass(),
             &TToolButton::StaticClass(), &TImageList::StaticClass(),   &TListView::StaticClass(),
             &TTreeView::StaticClass(),   &TStringGrid::StaticClass(),  &TProgressBar::StaticClass(),
             &THintWindow::StaticClass(), &TTimer::StaticClass(),       &TDataModule::StaticClass(),
         })
        RegisterClass(*c);
}
