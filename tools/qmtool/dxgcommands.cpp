#include "commands.h"
#include "toolsupport.h"

int runDxgCommand(const QStringList &)
{
    throw UsageError{"the dxg commands are not built yet"};
}
