#include "TestServices.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPdfWriter>
#include <QTimer>

void onNextModal(std::function<void(QDialog*)> act) {
    // Polls until the dialog is up: exec() shows it after this call returns.
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
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
    return answers.isEmpty() ? true : answers.takeFirst();
}

QString TestServices::openFileName(QWidget*, const QString& title, const QString&) {
    dialogTitles.append(title);
    return nextFiles.isEmpty() ? QString() : nextFiles.dequeue();
}

void TestServices::open(const QString& target) {
    opened.append(target);
}

bool TestServices::print(QWidget*, const Report::Prepared& report) {
    if (!printAnswer)
        return false;
    printed.append(report);
    const QString pdf = file(QStringLiteral("stampa%1.pdf").arg(printed.size()));
    QPdfWriter writer(pdf);
    printedPdfs.append(pdf);
    return Report::paint(report, writer);
}
