#include "commands.h"
#include "toolsupport.h"
int runLevCommand(const QStringList &) { throw UsageError{"not built yet"}; }
