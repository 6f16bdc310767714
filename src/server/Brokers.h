#pragma once
// `TBrokers`: a program window's single gateway to the suite's services outside
// its own datasets. It holds the session (user, company, database, program), the
// company's system parameters, the server data handed back at connect time and
// the work center with its three service objects.
#include <cstdint>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/core/Variant.h"

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
    uint8_t ServiceMask = 15;   // bit 1 validator, bit 2 lookup window, bit 3 counter
    Variant WorkCenter;
    Variant Pikvalo;
    Variant Validator;
    Variant Counter;
    TStringList ServerData;     // name=value lines returned by the server at connect time

    // The value of a system parameter (any case), or empty; an empty name gives empty.
    std::string GetSysParam(const std::string& name) const;
    // Stores name=value; an empty name is ignored.
    void SetSysParam(const std::string& name, const std::string& value);
};
