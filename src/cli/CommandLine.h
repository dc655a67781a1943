#pragma once

#include <QStringList>

class QIODevice;
class QTextStream;

namespace ambrel {

// ambrel-cli: builds a schedule from task text without a window, for scripts and checks.
// Returns the exit status: 0 on success, 1 when the build refuses, 2 on bad usage.
int runCommandLine(const QStringList &arguments, QIODevice *input, QTextStream &out, QTextStream &err);

} // namespace ambrel
