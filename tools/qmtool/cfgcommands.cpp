#include "commands.h"
#include "toolsupport.h"
int runCfgCommand(const QStringList &) { throw UsageError{"not built yet"}; }
