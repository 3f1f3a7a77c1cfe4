#pragma once
// Finding a program that shows the computer's system information, for the about box.
#include <QString>

namespace brevant::shell {

// The registered program (value PATH of SOFTWARE\Microsoft\Shared Tools\MSINFO, else the value
// MSINFO of SOFTWARE\Microsoft\Shared Tools Location + "/MSINFO32.EXE" when that file exists),
// else a system information program found on PATH; empty when there is none.
QString SystemInformationProgram();

} // namespace brevant::shell
