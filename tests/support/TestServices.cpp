#include "TestServices.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFont>
#include <QPointer>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
namespace {
// The offscreen platform of Windows reads its fonts from one folder (QT_QPA_FONTDIR, set by
// the Wine wrapper to Liberation and DejaVu) and knows no font substitutes: the families the
// windows name get the stand-ins that fontconfig gives them on Linux, so layouts measure the
// same.
void standInFonts() {
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(standInFonts)
#endif

bool answerModal(const std::function<void()>& trigger, const std::function<void(QDialog*)>& answer,
                 std::source_location caller) {
    // A dialog already up (the one whose answer opens this one) is not the one awaited.
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    const bool failedBefore = QTest::currentTestFailed();
    bool came = false;
    bool leftOpen = false;
    // Polls from the dialog's own event loop: exec() shows it while `trigger` runs.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!shown || shown == before)
            return;
        came = true;
        poll.stop();
        const QPointer<QDialog> dialog(shown);
        answer(dialog);
        if (dialog && dialog->isVisible()) {
            leftOpen = true;
            dialog->reject();
        }
    });
    poll.start();
    trigger();
    poll.stop();
    // A failed check inside `answer` has said what went wrong already.
    if (QTest::currentTestFailed() && !failedBefore)
        return false;
    if (!came) {
        QTest::qFail("the modal dialog the test waited for never came", caller.file_name(),
                     int(caller.line()));
        return false;
    }
    if (leftOpen) {
        QTest::qFail("the modal dialog was still open after its answer", caller.file_name(),
                     int(caller.line()));
        return false;
    }
    return true;
}

std::function<void()> clicking(QWidget* control) {
    return [control] { QTest::mouseClick(control, Qt::LeftButton); };
}

std::function<void()> pressing(QWidget* control, Qt::Key key) {
    return [control, key] { QTest::keyClick(control, key); };
}

TestServices::TestServices() {
    Services::setMessages(this);
    Services::setFileDialogs(this);
    Services::setShell(this);
    Services::setClock(this);
    Services::setFolder(this);
    Services::setPrinter(this);
}

TestServices::~TestServices() {
    const qsizetype left = answers.size() + warningAnswers.size();
    if (left > 0 && QTest::currentTestFunction() && !QTest::currentTestFailed()) {
        const QByteArray unused = QByteArray::number(left) +
                                  " scripted answer(s) left for questions or warnings that "
                                  "never came";
        QTest::qFail(unused.constData(), __FILE__, __LINE__);
    }
    Services::setMessages(nullptr);
    Services::setFileDialogs(nullptr);
    Services::setShell(nullptr);
    Services::setClock(nullptr);
    Services::setFolder(nullptr);
    Services::setPrinter(nullptr);
}

QString TestServices::folderPath() const {
    return QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
}

bool TestServices::show(QWidget*, MessageKind kind, const QString& text) {
    messages.append({kind, text});
    if (kind == MessageKind::Warning && !warningAnswers.isEmpty())
        return warningAnswers.takeFirst();
    if (kind != MessageKind::Question)
        return true;
    if (answers.isEmpty()) {
        const QByteArray unscripted =
            "a question the test did not script: " + text.simplified().toUtf8();
        QTest::qFail(unscripted.constData(), __FILE__, __LINE__);
        return false;
    }
    return answers.takeFirst();
}

QString TestServices::openFileName(QWidget*, const QString& title, const QString&) {
    dialogTitles.append(title);
    return nextFiles.isEmpty() ? QString() : nextFiles.dequeue();
}

QString TestServices::folderName(QWidget*, const QString& title, const QString& start) {
    dialogTitles.append(title);
    folderStarts.append(start);
    return nextFolders.isEmpty() ? QString() : nextFolders.dequeue();
}

void TestServices::open(const QString& target) {
    opened.append(target);
}

bool TestServices::print(QWidget*, const Report::Prepared& report) {
    if (!printAnswer)
        return false;
    printed.append(report);
    const QString pdf = file(QStringLiteral("stampa%1.pdf").arg(printed.size()));
    printedPdfs.append(pdf);
    return Report::writePdf(report, pdf);
}
