#pragma once
// The peak resident size of this process in kilobytes: VmHWM, which starts
// afresh with the program's own address space. (getrusage's ru_maxrss does
// not: Linux keeps it across exec, so a child started from a large benchmark
// process would report the parent's size.)

#include <QFile>

inline long peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
