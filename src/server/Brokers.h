#pragma once
// `TBrokers`: a program window's single gateway to the suite's services outside
// its own datasets. It holds the session (user, company, database, program), the
// company's system parameters, the server data handed back at connect time and
// the work center with its three service objects (validator, lookup window,
// counter), wraps every call to them, and shows messages by kind and code.
//
// A missing service object never raises: reads give empty texts or unassigned
// values, checks give false. CheckValue, QueryData and QueryMaxSeq swallow every
// error of the validator; the other service errors reach the caller.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/core/Variant.h"
#include "platform/vcl/Dialogs.h"

class TDataSet;

// What the broker reads from the window that owns it. The program window
// implements it; a broker whose owner does not reads the defaults of a window
// without conversion: code pages "936", mode 0, empty caption, handle 0, lookup
// state 0, no rights.
class IBrokersOwner {
public:
    virtual ~IBrokersOwner() = default;

    // The window's code-page settings ("936", "950" or "437"; modes 0, 2 or 4).
    virtual std::string UICodePage() const = 0;
    virtual std::string SysCodePage() const = 0;
    virtual uint8_t UIConvertMode() const = 0;
    // A program text (Simplified script) as the window displays it.
    virtual std::string ProgramTextToUI(const std::string& text) const = 0;

    // The caption the broker's message dialogs carry, and the window's handle.
    virtual std::string WindowCaption() const = 0;
    virtual intptr_t WindowHandle() const = 0;

    // The lookup hand-over (see OpenPikvalo): 0 normal, 1 capture the parameters
    // into LookupParams, 2 answer with LookupReturn.
    virtual uint8_t LookupState() const = 0;
    virtual void SetLookupParams(const Variant& params) = 0;
    virtual const Variant& LookupReturn() const = 0;
    // True when the user's rights hold the element (0..63).
    virtual bool HasRight(int element) const = 0;

    // Called after every message the broker shows (and answered without abort).
    virtual void AfterMessage() = 0;
};

class TBrokers : public TComponent {
    VELMORA_CLASS(TBrokers)
public:
    explicit TBrokers(TComponent* owner);
    ~TBrokers() override;

    bool Active = true;
    std::string ProgramID;      // upper case, set by the window before ConnectServices
    std::string UserID;
    std::string UserGroup;
    std::string CompanyID;
    std::string DatabaseName;
    // The program record (LoadProgramInfo).
    std::string ProgramName;
    std::string PrintProgram;
    bool ProgramFlag = false;
    TStringList SysParams;      // name=value lines of the company's system parameters
    uint8_t ServiceMask = 15;   // 1 validator, 2 lookup window, 4 counter
    Variant WorkCenter;
    Variant Pikvalo;
    Variant Validator;
    Variant Counter;
    TStringList ServerData;     // name=value lines returned by the server at connect time

    // --- session and parameters ---
    // The value of a system parameter (any case), or empty; an empty name gives empty.
    std::string GetSysParam(const std::string& name) const;
    // Stores name=value; an empty name is ignored.
    void SetSysParam(const std::string& name, const std::string& value);
    // Server data MAX_RECORD as an integer (0 when missing or not a number),
    // capped at 40; zero and negative values pass unchanged.
    int GetMaxRecord() const;

    // --- attaching ---
    // With a work center: fetches each service of ServiceMask that is not held
    // yet (validator, lookup window, counter, in this order), then
    // LoadProgramInfo; true. Any error beeps three times and gives false (what
    // was fetched stays). Without a work center: false, nothing done.
    bool ConnectServices();
    // Clears ProgramName and reads the program record ("ADMMB", "06"): elements
    // 0 ProgramName, 1 PrintProgram, 7 ProgramFlag ("Y"); with more than nine
    // elements and interface code page "437", element 9 (the English name)
    // becomes ProgramName. Missing elements read as empty.
    void LoadProgramInfo();
    // Stores the counter's GetSysInfo pairs ([0, i] name, [1, i] value) in
    // SysParams. False without a counter or when nothing comes back.
    bool LoadSysParams();

    // --- service calls ---
    // The work center's message text; empty without a work center.
    std::string GetMessageText(const std::string& kind, const std::string& code);
    // The validator's lookups: table, kind, DatabaseName, values and result go
    // to the member of the same name (BaseLimited set first). True when found;
    // false without a validator or on any error.
    bool CheckValue(const std::string& table, const std::string& kind, const Variant& values, Variant& result);
    bool QueryData(const std::string& table, const std::string& kind, const Variant& values, Variant& result);
    // The next sequence number for a record of `table`: sends the current values
    // of every key field of the comma-separated list but the last, read from the
    // dataset. `number` becomes the validator's answer, or "unKnow" when it finds
    // none or fails.
    void QueryMaxSeq(const TDataSet& dataset, const std::string& table, std::string& number,
                     const std::string& dateText, const std::string& keyFields);
    // A named function of the counter ("SimpleSQL", "TransactionSQL",
    // "GetUserDefine", ...); unassigned without a counter.
    Variant CallCounter(const std::string& functionName, const Variant& parameters);
    // The F2 lookup. State 1 of the owner: stores the parameters in its
    // LookupParams and returns unassigned; state 2: returns its LookupReturn;
    // otherwise asks the lookup window (unassigned without one). The answer is
    // an array of chosen rows, each an array of values; anything else means
    // nothing was chosen. A window handle of 0 means the owner's.
    Variant OpenPikvalo(const std::string& table, const std::string& kind, const Variant& values,
                        const std::string& currentText = {}, bool firstFlag = false, bool secondFlag = false,
                        intptr_t windowHandle = 0, const std::string& linkText1 = {},
                        const std::string& linkText2 = {}, const std::string& linkText3 = {});
    // A phrase chosen for `text`, or empty when none was chosen.
    std::string GetPhrase(const std::string& text);
    // The lookup window's character picker; `result` gets its answer. Empty
    // company and user, and handle 0, mean the broker's and the owner's.
    void ShowCharaters(int number, bool flag, Variant& result, intptr_t windowHandle = 0,
                       const std::string& company = {}, const std::string& user = {});
    // The calculator's value of the expression; on an error of the lookup window
    // shows E/000032 asking for an update and gives empty.
    std::string GetCalcValue(const std::string& expression);
    // Starts another program through the work center; the work center's code
    // (0 or more success, -1 to -7 failures), -1 without a work center. Empty or
    // null options mean [0, 4, unassigned]. A failure with `showErrors` shows its
    // text with the program's display name through E/000032.
    int ExecWork(const std::string& programId, const Variant& parameter, bool showErrors, Variant& result,
                 const Variant& options = {});
    // The display name of a program from ADMMB (the English one for code page
    // "437"); the id itself when the table does not hold it.
    std::string GetProgramTitle(const std::string& programId);

    // --- messages ---
    // Shows the work center's text for kind and code ("T" reads the "E" text and
    // asks whether to go on) filled with `args` in a modal dialog whose type and
    // buttons follow the kind, and returns the modal result (OK 1, Cancel 2,
    // Yes 6, No 7, Yes to all 10). A "W" message not answered OK raises the
    // silent abort when `abortOnCancel`.
    int ShowMessageByCode(const std::string& kind, const std::string& code, const std::vector<Variant>& args = {},
                          bool abortOnCancel = true, TMsgDlgBtn defaultButton = TMsgDlgBtn::mbOK);

private:
    // The owning window, or a plain one when the owner is no program window.
    IBrokersOwner& Window() const;
    // A program text converted for display by the table converter, as messages are.
    std::string MessageTextToUI(const std::string& text) const;
    // Passes the server data value BaseLimited on to the validator; errors ignored.
    void SetValidatorBaseLimited();
    bool CallValidator(const char* member, const std::string& table, const std::string& kind, const Variant& values,
                       Variant& result);
};
