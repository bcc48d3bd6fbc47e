#pragma once

#include <QString>

// Whether opening a file would run it rather than show it: programs,
// libraries, scripts, installers, desktop launchers, Java archives, and any
// file with a run bit. A received attachment of such a type is opened only
// after the user agreed, told its real name and type.
namespace programfile {

bool IsProgram(const QString& path);
// "Sample.exe (DOS/Windows executable)": the name and the type as the
// desktop's type database describes it.
QString Describe(const QString& path);

}  // namespace programfile
