#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

// Looking into the PDFs the tests print, with poppler's tools where the machine has them
// (not under Wine: the tests then skip what needs them).

inline QString tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// The number of pages of a PDF: from pdfinfo when the machine has it, else from the file.
inline int pdfPages(const QString& path) {
    const QString pdfinfo = tool("pdfinfo");
    if (!pdfinfo.isEmpty()) {
        QProcess p;
        p.start(pdfinfo, {path});
        p.waitForFinished();
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(p.readAllStandardOutput()));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll())
                   .count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// The words of a PDF's text, line after line as they stand on the page: pdftotext turns
// gaps into runs of spaces of its own.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(tool("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}
