#pragma once
// Switches the extended Big5 mapping (platform/text/CodePage.h) for the process while
// the module is loaded: on a system whose code page is 950, GB byte pairs that are not
// valid Big5 then survive every conversion to UTF-8 and back.
//
// The registry value "UseKBIG5" of "Software\QVN\Velmora" turns it off when it is
// exactly "0"; a missing key or value leaves it on.

// True when the mapping belongs on for this system code page and registry setting.
bool WideCharFixWanted(int systemCodePage);

// At module load: switches the mapping on when WideCharFixWanted. Returns whether it did.
bool SwitchWideCharFixOn(int systemCodePage);
// At module unload: puts the conversions back as the system had them.
void SwitchWideCharFixOff();
