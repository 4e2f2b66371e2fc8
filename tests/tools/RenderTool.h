#pragma once
// Runs the ledora-render tool as a process of its own and keeps what it said.
#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun {
    int exitCode = -1; // -1 when it did not end by itself within a minute
    QString out;
    QString err;
};

inline ToolRun render(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(LEDORA_RENDER), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
