#pragma once

#include "report/Report.h"
#include "ui/Services.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class QDialog;
class QObject;

// The control named `name` inside `window`: tests reach every control by its objectName.
// A missing control is a fault of the test or of the window's layout and ends the run.
template <typename T> T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

// Runs `act` on the next modal dialog as soon as it is shown (for dialogs opened with
// exec(), which would otherwise block the test). The dialog must be closed by `act`.
void onNextModal(std::function<void(QDialog*)> act);

// Replaces every service of the program with a recorder for the life of the object:
// messages are recorded and answered from a script, the clock is fixed, the program
// folder is a fresh temporary folder, file dialogs return scripted paths and the shell
// records what it was asked to open.
class TestServices : public MessageService,
                     public FileDialogService,
                     public ShellService,
                     public ClockService,
                     public FolderService,
                     public PrinterService {
public:
    struct Message {
        MessageKind kind;
        QString text;
    };

    TestServices();
    ~TestServices() override;

    // Messages shown so far, oldest first.
    QList<Message> messages;
    // Answers for the next messages (true = OK/Yes); when empty every box answers true.
    QList<bool> answers;
    // Paths the next open-file dialogs return ("" = cancelled).
    QQueue<QString> nextFiles;
    QStringList dialogTitles;
    // Targets handed to the shell.
    QStringList opened;
    QDateTime fixedNow{QDate(2026, 3, 5), QTime(10, 30, 15)};
    // Reports printed so far, each also written to a PDF in the program folder
    // ("stampa1.pdf", ...); `printAnswer` false stands for a cancelled print dialog.
    QList<Report::Prepared> printed;
    QStringList printedPdfs;
    bool printAnswer = true;

    QString folderPath() const; // program folder with trailing separator
    QString file(const QString& bareName) const { return folderPath() + bareName; }

    // Convenience for checks: the one message shown, or a default message.
    Message lastMessage() const { return messages.isEmpty() ? Message{} : messages.last(); }

    bool show(QWidget* parent, MessageKind kind, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override;
    void open(const QString& target) override;
    QDateTime now() const override { return fixedNow; }
    QString programFolder() const override { return folderPath(); }
    bool print(QWidget* parent, const Report::Prepared& report) override;

private:
    QTemporaryDir m_dir;
};
