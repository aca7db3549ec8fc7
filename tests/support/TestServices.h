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
#include <source_location>

class QDialog;
class QWidget;
class QObject;

// The control named `name` inside `window`: tests reach every control by its objectName.
// A missing control is a fault of the test or of the window's layout and ends the run.
template <typename T> T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

// Runs `trigger`, which must open a modal dialog with exec(), and `answer` on that dialog as
// soon as it shows; `answer` closes it. When no dialog came, or `answer` left it open (it is
// then closed, so that the run goes on), the running test fails at the caller's line and the
// result is false.
bool answerModal(const std::function<void()>& trigger, const std::function<void(QDialog*)>& answer,
                 std::source_location caller = std::source_location::current());

// Triggers for answerModal: a left click on `control`, a key pressed in it.
std::function<void()> clicking(QWidget* control);
std::function<void()> pressing(QWidget* control, Qt::Key key);

// In a test function: answerModal, and the test ends there when it failed (a later step
// could otherwise wait on a dialog nobody answers).
#define ANSWER_MODAL(...)                                                                          \
    do {                                                                                           \
        if (!answerModal(__VA_ARGS__))                                                             \
            return;                                                                                \
    } while (false)

// Replaces every service of the program with a recorder for the life of the object:
// messages are recorded and questions answered from a script, the clock is fixed, the
// program folder is a fresh temporary folder, file dialogs return scripted paths and the
// shell records what it was asked to open.
//
// The script must match the questions exactly: a question with no scripted answer fails the
// running test (and is answered No), and so does an answer still unused when the object
// goes, at the end of the test.
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
    // Answers for the next questions (true = Yes), in order. The other kinds need none: they
    // are recorded and answer OK.
    QList<bool> answers;
    // Answers for the next warnings (true = OK, false = Cancel); an unscripted warning is
    // answered OK, as most warnings only inform.
    QList<bool> warningAnswers;
    // Paths the next open-file dialogs return ("" = cancelled).
    QQueue<QString> nextFiles;
    // Paths the next folder dialogs return ("" = cancelled), and where each one started.
    QQueue<QString> nextFolders;
    QStringList folderStarts;
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
    QString folderName(QWidget* parent, const QString& title, const QString& start) override;
    void open(const QString& target) override;
    QDateTime now() const override { return fixedNow; }
    QString programFolder() const override { return folderPath(); }
    bool print(QWidget* parent, const Report::Prepared& report) override;

private:
    QTemporaryDir m_dir;
};
