#include "remotehelp.h"

#include "paths.h"
#include "seams.h"

namespace remotehelp {

QString start(const settings::IniFile& ini)
{
    const QString program = ini.readString("Tavsegitseg", "Program").trimmed();
    if (program.isEmpty())
        return "Ezen a számítógépen nincs beállítva távsegítő program.\n\n"
               "Hívja fel a program forgalmazóját: megmondja, melyik távsegítő programot "
               "telepítse (például a GNOME vagy a KDE asztalmegosztását), majd a program "
               "nevét vagy útvonalát írja be ebbe a fájlba:\n" +
               paths::find(SettingsFile) + "\n\n[Tavsegitseg]\nProgram=<a program neve>";
    if (!seams::ui().startProgram(program))
        return "A beállított távsegítő program nem indítható el: " + program;
    return {};
}

} // namespace remotehelp
